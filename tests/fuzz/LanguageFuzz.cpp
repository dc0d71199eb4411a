// The language list, and the text file of every language it lists. Both share one
// root element, so one input may be list and text table at once ("file" naming it).
#include "FuzzHarness.h"
#include "app/LanguageXmlInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("Config/language.xml", data, size);
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    if (languages.LoadLanguageList()) {
        const auto listed = languages.GetLanguages();
        for (const SLanguageEntry& entry : listed)
            if (languages.LoadLanguageTexts(entry.name))
                languages.GetText("ID_CAPTION", "");
        languages.ChooseStartLanguage("EN");
    }
    CLanguageXmlInfo::ResetInstance();
    return 0;
}
