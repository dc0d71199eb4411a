#include "app/AppContext.h"
#include "app/LanguageXmlInfo.h"
#include "app/UiText.h"
#include "app/XmlFile.h"
#include "hbds/hbds.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/datetime.h>

namespace {

const char kList[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<language>
 <default name="EN"/>
 <property name="CN" file="cn.xml" help="help_cn.html">简体中文</property>
 <property name="" file="none.xml" help="none.html">nameless</property>
 <ignored name="XX"/>
 <property name="EN" file="en.xml" help="help_en.html">English</property>
</language>
)";

const char kEnglish[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<language>
 <property name="ID_CFGMAINDLG_OPEN">Open</property>
 <property name="ID_TWICE">first</property>
 <property name="id_twice">second</property>
 <property name="">no name</property>
 <other name="ID_OTHER">not a text</other>
</language>
)";

class LanguageXmlInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
        m_dir.Write("Config/language.xml", kList);
        m_dir.Write("Config/en.xml", kEnglish);
        m_dir.Write("Config/cn.xml", "<language><property name=\"ID_CFGMAINDLG_OPEN\">打开</property></language>");
        m_dir.Write("log/.keep", "");
        hbds_set_log_directory(m_dir.File("log").utf8_str());
    }
    std::string Log() const { return m_dir.Read(wxDateTime::Now().Format("log/hbds_%Y%m%d.log")); }
    void TearDown() override
    {
        CLanguageXmlInfo::ResetInstance();
        CAppContext::ResetInstance();
        hbds_set_log_directory(nullptr);
    }

    CLanguageXmlInfo& Languages() { return CLanguageXmlInfo::GetInstance(); }

    CTempDir m_dir;
};

TEST_F(LanguageXmlInfoTest, ListKeepsFileOrderSkipsNamelessEntriesAndGivesTheStartLanguage)
{
    ASSERT_TRUE(Languages().LoadLanguageList());
    const auto& list = Languages().GetLanguages();
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ("CN", list[0].name);
    EXPECT_EQ(wxString::FromUTF8("简体中文"), list[0].displayText);
    EXPECT_EQ("EN", list[1].name);
    EXPECT_EQ(m_dir.Path() + "Doc/help_en.html", list[1].helpDocument);
    EXPECT_EQ("EN", Languages().GetDefaultLanguage());
    ASSERT_TRUE(Languages().LoadLanguageList());
    EXPECT_EQ("EN", Languages().ChooseStartLanguage(""));
    EXPECT_EQ("CN", Languages().ChooseStartLanguage("CN"));
    EXPECT_EQ("CN", Languages().ChooseStartLanguage("FR"));
    EXPECT_EQ("CN", Languages().ChooseStartLanguage("en"));
    const struct {
        const char* stored;
        const char* locale;
        const char* language;
    } firstRuns[] = {
        {"", "zh_CN.UTF-8", "CN"}, {"", "zh_TW", "CN"}, {"", "de_DE.UTF-8", "EN"},
        {"", "C", "EN"},           {"", "", "EN"},      {"CN", "en_GB.UTF-8", "CN"},  // a choice made stays
    };
    for (const auto& run : firstRuns)
        EXPECT_EQ(run.language, Languages().ChooseStartLanguage(run.stored, run.locale)) << run.locale;
}

// Loading a language replaces the whole table and sets the interface language.
TEST_F(LanguageXmlInfoTest, IdentifiersIgnoreCaseTheFirstOccurrenceWinsAndTheRestGiveTheBuiltInText)
{
    EXPECT_EQ("built-in", GetUiText("ID_CFGMAINDLG_OPEN", "built-in"));  // no table loaded yet
    ASSERT_TRUE(Languages().LoadLanguageList());
    ASSERT_TRUE(Languages().LoadLanguageTexts("EN"));
    EXPECT_EQ("Open", GetUiText("id_cfgmaindlg_open", "built-in"));
    EXPECT_EQ("Open", GetUiText("ID_CFGMAINDLG_OPEN", "built-in"));
    EXPECT_EQ("first", GetUiText("ID_TWICE", "built-in"));
    EXPECT_EQ("built-in", GetUiText("ID_OTHER", "built-in"));
    EXPECT_EQ("built-in", GetUiText("", "built-in"));
    EXPECT_EQ("built-in", GetUiText("ID_NOT_THERE", "built-in"));
    EXPECT_EQ(2u, Languages().GetTextCount());
    EXPECT_EQ(1033, CAppContext::GetInstance().GetUiLanguageId());

    ASSERT_TRUE(Languages().LoadLanguageTexts("CN"));
    EXPECT_EQ(wxString::FromUTF8("打开"), GetUiText("ID_CFGMAINDLG_OPEN", "x"));
    EXPECT_EQ("x", GetUiText("ID_TWICE", "x"));
    EXPECT_EQ(2052, CAppContext::GetInstance().GetUiLanguageId());
    EXPECT_EQ("CN", CAppContext::GetInstance().GetLanguageCode());
    EXPECT_EQ(m_dir.Path() + "Doc/help_cn.html", CAppContext::GetInstance().GetHelpDocument());
    EXPECT_FALSE(Languages().LoadLanguageTexts("DE"));
}

TEST_F(LanguageXmlInfoTest, BrokenFilesFailWithoutPartialResultsAndAreLogged)
{
    m_dir.Write("Config/en.xml", "<language><property name=\"ID_A\">cut");
    ASSERT_TRUE(Languages().LoadLanguageList());
    EXPECT_FALSE(Languages().LoadLanguageTexts("EN"));
    EXPECT_EQ(0u, Languages().GetTextCount());

    m_dir.Write("Config/en.xml", "<language/>");
    EXPECT_FALSE(Languages().LoadLanguageTexts("EN"));

    m_dir.Write("Config/language.xml", "<languages><property name=\"CN\" file=\"cn.xml\"/></languages>");
    EXPECT_FALSE(Languages().LoadLanguageList());
    EXPECT_TRUE(Languages().GetLanguages().empty());

    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("LanguageXmlInfo.cpp"));
    EXPECT_NE(std::string::npos, log.find("Load " + std::string(m_dir.File("Config/en.xml").utf8_str()) + " ERROR"));
    EXPECT_NE(std::string::npos, log.find("GetChildren ERROR"));
    EXPECT_NE(std::string::npos, log.find("GetName ERROR"));
}

// The log names the reader's own line, where the file was asked for, not the helper's.
TEST_F(LanguageXmlInfoTest, XmlLoadFailuresAreLoggedAtTheCallersLine)
{
    m_dir.Write("Config/wrong.xml", "<other/>");
    struct Case {
        const char* file;
        const char* logged;
    } cases[] = {{"Config/missing.xml", " Load "}, {"Config/wrong.xml", " GetName ERROR"}};
    for (const Case& c : cases) {
        wxXmlDocument document;
        const int line = __LINE__ + 1;
        EXPECT_FALSE(LoadXmlFile(document, m_dir.File(c.file), "language", "Reader.cpp"));
        EXPECT_NE(std::string::npos, Log().find("Reader.cpp:" + std::to_string(line) + c.logged)) << c.file;
    }
}

}  // namespace

TEST(ShowMessageTest, EveryMessageCarriesTheIconOfItsKind)
{
    long shown = 0;
    SetMessageHandler([&shown](const wxString&, long style) {
        shown = style;
        return static_cast<int>(wxOK);
    });
    const long icons = wxICON_ERROR | wxICON_WARNING | wxICON_QUESTION | wxICON_INFORMATION;
    const struct {
        long asked;
        long icon;
    } cases[] = {{wxOK, wxICON_INFORMATION},
                 {wxYES_NO, wxICON_QUESTION},
                 {wxYES_NO | wxCANCEL, wxICON_QUESTION},
                 {wxOK | wxICON_ERROR, wxICON_ERROR},
                 {wxYES_NO | wxICON_WARNING, wxICON_WARNING},
                 {wxOK | wxCANCEL, wxICON_INFORMATION}};
    for (const auto& c : cases) {
        ShowMessage("text", c.asked);
        EXPECT_EQ(c.icon, shown & icons) << c.asked;
        EXPECT_EQ(c.asked & ~icons, shown & ~icons) << "the buttons stay";
    }
    SetMessageHandler(nullptr);
}
