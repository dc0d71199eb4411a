#include "AppContext.h"
#include "AppSettings.h"
#include "ControlMnt.h"
#include "CreateObject.h"
#include "HarbrekBaseDlg.h"
#include "HelpViewFrame.h"
#include "LanguageXmlInfo.h"
#include "MainDlg.h"
#include "VostrelDlg.h"

#include "GuiTestSupport.h"
#include "MessageRecorder.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>

#include <filesystem>

namespace {

bool HasButtonLabelled(wxWindow* window, const wxString& label)
{
    if (auto* button = dynamic_cast<wxButton*>(window); button && button->GetLabel() == label)
        return true;
    for (wxWindow* child : window->GetChildren()) {
        if (HasButtonLabelled(child, label))
            return true;
    }
    return false;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.CopyShippedData();
        CAppContext::GetInstance().SetProgramDirectory(m_dir.Path());
    }
    void TearDown() override
    {
        if (m_window)
            Close();
        CWindowControlFactory::ResetInstance();
        CControlMnt::ResetInstance();
        CCreateObject::ResetInstance();
        CLanguageXmlInfo::ResetInstance();
        CAppSettings::ResetInstance();
        CAppContext::ResetInstance();
    }

    bool Start()
    {
        m_window = new CVostrelDlg();
        SStartOptions options;
        options.checkSingleInstance = false;
        options.maximise = false;
        const bool started = m_window->Start(options);
        wxTheApp->ProcessPendingEvents();
        return started;
    }

    void Close()
    {
        m_window->Destroy();
        m_window = nullptr;
        wxTheApp->ProcessIdle();  // deletes the window
    }

    // The window as a person sees it, kept beside the test run for review.
    void SaveScreenshot(const char* name) { ::SaveScreenshot(m_window, name); }

    CTempDir m_dir;
    CMessageRecorder m_messages;
    CVostrelDlg* m_window = nullptr;
};

TEST_F(MainWindowTest, StartsInTheStoredLanguageSwitchesAndWritesLangAtExit)
{
    m_dir.Write("hbs.ini", "[cfg]\nlang=EN\nLogLevel=9\n");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(m_messages.Texts().empty());
    EXPECT_TRUE(HasButtonLabelled(m_window, "Connected scanners"));
    EXPECT_TRUE(HasButtonLabelled(m_window, "Home"));
    EXPECT_EQ("Vostrel V1.0.0.B5", m_window->GetTitle());
    SaveScreenshot("home-en.png");

    wxChoice* chooser = m_window->GetHomePage()->GetLanguageChooser();
    ASSERT_EQ(2u, chooser->GetCount());
    EXPECT_EQ("English", chooser->GetStringSelection());
    ASSERT_TRUE(m_window->GetHomePage()->SelectLanguage(chooser->FindString(wxString::FromUTF8("简体中文"))));
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(HasButtonLabelled(m_window, wxString::FromUTF8("在线设备")));
    EXPECT_TRUE(HasButtonLabelled(m_window, wxString::FromUTF8("主界面")));
    EXPECT_EQ(2052, CAppContext::GetInstance().GetUiLanguageId());
    SaveScreenshot("home-cn.png");

    Close();
    const std::string ini = m_dir.Read("hbs.ini");
    EXPECT_NE(std::string::npos, ini.find("lang=CN"));
    EXPECT_NE(std::string::npos, ini.find("LogLevel=2"));
}

TEST_F(MainWindowTest, AStoredLanguageThatIsNotListedSelectsTheFirstOne)
{
    m_dir.Write("hbs.ini", "[cfg]\nlang=FR\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(wxString::FromUTF8("简体中文"), m_window->GetHomePage()->GetLanguageChooser()->GetStringSelection());
    Close();
    EXPECT_NE(std::string::npos, m_dir.Read("hbs.ini").find("lang=CN"));
}

TEST_F(MainWindowTest, WithoutALanguageListTheProgramEndsWithTheResourceMessage)
{
    std::filesystem::remove(std::string(m_dir.File("Config/language.xml").utf8_str()));
    EXPECT_FALSE(Start());
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ(wxString::FromUTF8("打开资源文件失败,请确认程序是否正常安装!"), m_messages.Texts()[0]);
    Close();
}

TEST_F(MainWindowTest, ABrokenLanguageFileAlsoEndsTheProgram)
{
    m_dir.Write("Config/lang_cn.xml", "<language><property");
    EXPECT_FALSE(Start());
    ASSERT_EQ(1u, m_messages.Texts().size());
    Close();
}

TEST_F(MainWindowTest, AMissingHelpDocumentIsReportedInTheCurrentLanguage)
{
    m_dir.Write("hbs.ini", "[cfg]\nlang=EN\n");
    ASSERT_TRUE(Start());
    std::filesystem::remove(std::string(m_dir.File("Doc/Vostrel_EN.html").utf8_str()));
    EXPECT_FALSE(OpenHelpDocument());
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ("The help document could not be opened.", m_messages.Texts()[0]);
}

TEST_F(MainWindowTest, F1WithoutABrowserShowsTheHelpInTheProgramsOwnView)
{
    m_dir.Write("hbs.ini", "[cfg]\nlang=EN\n");
    ASSERT_TRUE(Start());
    wxString offered;
    SetHelpLauncher([&offered](const wxString& path) {
        offered = path;
        return false;  // the desktop has no browser
    });
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = WXK_F1;
    m_window->GetEventHandler()->ProcessEvent(key);
    SetHelpLauncher(nullptr);

    EXPECT_EQ(m_dir.File("Doc/Vostrel_EN.html"), offered);
    EXPECT_TRUE(m_messages.Texts().empty());
    CHelpViewFrame* view = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* frame = dynamic_cast<CHelpViewFrame*>(window))
            view = frame;
    }
    ASSERT_NE(nullptr, view);
    EXPECT_EQ("Vostrel help", view->GetView()->GetOpenedPageTitle());
    view->Destroy();
}

TEST_F(MainWindowTest, RescueModeMarksTheTitle)
{
    m_dir.Write("hbs.ini", "[cfg]\nlang=EN\nCheckCpu=1\n");
    CAppContext::GetInstance().SetVersion("2.1.0.0");
    ASSERT_TRUE(Start());
    EXPECT_EQ("Vostrel V2.1.0.Rescue", m_window->GetTitle());
}

}  // namespace
