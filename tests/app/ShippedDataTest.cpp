// The data tree that ships with the program: every text identifier the code asks
// for has an entry in every shipped language.
#include "AppContext.h"
#include "LanguageXmlInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::set<std::string> IdentifiersUsedInSources()
{
    std::set<std::string> identifiers;
    // Text identifiers are the upper-case literals starting with "ID", wherever they
    // stand (calls, tables of items).
    const std::regex call(R"re("(ID[A-Z0-9_]{2,})")re");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VOSTREL_SOURCE_DIR "/src")) {
        if (!entry.is_regular_file() || (entry.path().extension() != ".cpp" && entry.path().extension() != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string content = text.str();
        for (std::sregex_iterator it(content.begin(), content.end(), call), end; it != end; ++it)
            identifiers.insert((*it)[1].str());
    }
    return identifiers;
}

class ShippedDataTest : public ::testing::Test {
protected:
    void SetUp() override { CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR); }
    void TearDown() override
    {
        CLanguageXmlInfo::ResetInstance();
        CAppContext::ResetInstance();
    }
};

TEST_F(ShippedDataTest, ChineseIsTheDefaultAndEnglishIsListed)
{
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    EXPECT_EQ("CN", languages.GetDefaultLanguage());
    ASSERT_NE(nullptr, languages.FindLanguage("EN"));
    ASSERT_NE(nullptr, languages.FindLanguage("CN"));
}

TEST_F(ShippedDataTest, EveryLanguageHasEveryIdentifierTheProgramUses)
{
    const std::set<std::string> used = IdentifiersUsedInSources();
    ASSERT_GT(used.size(), 10u);
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    ASSERT_TRUE(languages.LoadLanguageList());
    for (const SLanguageEntry& language : std::vector<SLanguageEntry>(languages.GetLanguages())) {
        ASSERT_TRUE(languages.LoadLanguageTexts(language.name)) << language.name;
        for (const std::string& identifier : used) {
            EXPECT_NE("\x01", languages.GetText(identifier, "\x01")) << identifier << " missing in " << language.name;
        }
        EXPECT_TRUE(std::filesystem::exists(std::string(language.helpDocument.utf8_str()))) << language.helpDocument;
    }
}

}  // namespace
