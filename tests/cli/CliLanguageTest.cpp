// vostrel-cli's language: where "--lang" may stand and which codes it takes, the
// order in which the option, hbs.ini and the locale decide, and a CN sheet whose
// Chinese captions and headers reach the PDF as text beside decodable barcodes.
#include "cli/CliCommands.h"
#include "cli/CliLanguage.h"

#include "barcode/DecodeSupport.h"
#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

struct SOptionCase {
    std::vector<std::string> arguments;
    bool ok;
    std::string language;
    std::vector<std::string> rest;
};

class LanguageOptionTest : public ::testing::TestWithParam<SOptionCase> {};

TEST_P(LanguageOptionTest, IsTakenOutWhereverItStands)
{
    const SOptionCase& c = GetParam();
    std::vector<std::string> arguments = c.arguments;
    std::string language;
    std::string error;
    EXPECT_EQ(c.ok, TakeLanguageOption(arguments, language, error)) << error;
    if (c.ok) {
        EXPECT_EQ(c.language, language);
        EXPECT_EQ(c.rest, arguments);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageOptionTest,
    ::testing::Values(SOptionCase{{"--lang", "CN", "list"}, true, "CN", {"list"}},
                      SOptionCase{{"barcode", "--kind", "1d", "--lang", "EN"}, true, "EN", {"barcode", "--kind", "1d"}},
                      SOptionCase{{"list"}, true, "", {"list"}},
                      SOptionCase{{"list", "--lang"}, false, "", {}},
                      SOptionCase{{"--lang", "DE", "list"}, false, "", {}},
                      SOptionCase{{"--lang", "cn", "list"}, false, "", {}}));

// Sets the locale variables for one case and puts the old ones back.
class CLocaleScope {
public:
    CLocaleScope(const char* all, const char* messages, const char* lang)
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(value ? value : "", value != nullptr);
        }
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~CLocaleScope()
    {
        for (size_t i = 0; i < 3; ++i)
            Set(kNames[i], m_saved[i].second ? m_saved[i].first.c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<std::string, bool>> m_saved;
};

struct SChoiceCase {
    const char* option;
    const char* ini;  // null: no hbs.ini
    const char* all;
    const char* messages;
    const char* lang;
    const char* expected;
};

class LanguageChoiceTest : public ::testing::TestWithParam<SChoiceCase> {};

TEST_P(LanguageChoiceTest, TheOptionThenHbsIniThenTheLocaleDecide)
{
    const SChoiceCase& c = GetParam();
    CTempDir dir;
    if (c.ini)
        dir.Write("hbs.ini", std::string("[cfg]\nlang=") + c.ini + "\n");
    CLocaleScope locale(c.all, c.messages, c.lang);
    EXPECT_EQ(c.expected, ChooseCliLanguage(c.option, dir.File("hbs.ini")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageChoiceTest,
    ::testing::Values(SChoiceCase{"EN", "CN", nullptr, nullptr, "zh_CN.UTF-8", "EN"},
                      SChoiceCase{"", "CN", nullptr, nullptr, "en_GB.UTF-8", "CN"},
                      SChoiceCase{"", "en", nullptr, nullptr, "zh_CN.UTF-8", "EN"},
                      // A language the program has no table for is no choice.
                      SChoiceCase{"", "FR", nullptr, nullptr, "zh_CN.UTF-8", "CN"},
                      SChoiceCase{"", nullptr, nullptr, nullptr, "zh_TW.UTF-8", "CN"},
                      SChoiceCase{"", nullptr, "C", nullptr, "zh_CN.UTF-8", "EN"},
                      SChoiceCase{"", nullptr, nullptr, "zh_CN.UTF-8", "en_US.UTF-8", "CN"},
                      SChoiceCase{"", nullptr, "", nullptr, nullptr, "EN"}));

class CliLanguageSheetTest : public CCoreTest {
protected:
    void SetUp() override { CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR); }

    // The barcode command as vostrel-cli runs it after choosing `language`.
    int RunBarcode(const char* language, const std::string& pdf)
    {
        CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
        EXPECT_TRUE(languages.LoadLanguageList());
        EXPECT_TRUE(languages.LoadLanguageTexts(language));
        SCliOptions options;
        std::string error;
        EXPECT_TRUE(ParseCliOptions({"barcode", "--kind", "1d", "--model", "HBS-HI880", "--commands", "232BAD1;BEPLVL2",
                                     "--output", pdf},
                                    options, error))
            << error;
        return RunCli(options, m_out, m_err);
    }

    CTempDir m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(CliLanguageSheetTest, ACnSheetHoldsItsChineseTextAndDecodesAtBothResolutions)
{
    const std::string pdf = std::string(m_dir.File("s.pdf").utf8_str());
    ASSERT_EQ(CLI_OK, RunBarcode("CN", pdf)) << m_err.str();
    EXPECT_EQ(pdf + "\t4 " + std::string(GetUiText("ID_CLI_BARCODE_COUNT", "").utf8_str()) + "\n", m_out.str());
    EXPECT_EQ("", RunCommand("pdfimages -list " + pdf + " | tail -n +3"));
    const std::string text = RunCommand("pdftotext " + pdf + " - 2>&1");
    for (const char* expected : {"波特率", "标题", "产品： HBS-HI880", "@232BAD1"})
        EXPECT_NE(std::string::npos, text.find(expected)) << expected << " in\n" << text;
    EXPECT_EQ(std::string::npos, text.find("Error")) << text;
    for (const char* dpi : {"150", "300"}) {
        const std::string prefix = std::string(m_dir.File(wxString("page") + dpi).utf8_str());
        RunCommand(std::string("pdftoppm -gray -png -r ") + dpi + " " + pdf + " " + prefix);
        std::vector<std::string> decoded;
        for (int page = 1; wxFileExists(wxString::Format("%s-%d.png", prefix, page)); ++page)
            for (const std::string& symbol : DecodeFile(prefix + "-" + std::to_string(page) + ".png", EDecoder::Zbar))
                decoded.push_back(symbol);
        std::sort(decoded.begin(), decoded.end());
        EXPECT_EQ((std::vector<std::string>{"@232BAD1", "@BEPLVL2", "@SETUPE0", "@SETUPE1"}), decoded) << dpi;
    }
}

}  // namespace
