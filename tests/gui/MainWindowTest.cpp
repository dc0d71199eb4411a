// The main window: its language, the start refused for broken language files, help, title.
#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/MnemonicText.h"
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "dataformat/gui/DataFormatterDlg.h"
#include "device/gui/DeviceBatchUpgradeDlg.h"
#include "device/gui/Dialog_Log.h"
#include "dlicense/gui/DriverLicenseInfoDlg.h"
#include "image/gui/ImageManageDlg.h"
#include "image/gui/ImageShowDlg.h"
#include "shell/LayoutCheck.h"
#include "shell/MainDlg.h"
#include "shell/Mnemonics.h"
#include "shell/VostrelDlg.h"
#include "UI/gui/GuiMessageBox.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/HelpViewFrame.h"
#include "UI/gui/WaitDlg.h"

#include "GuiTestSupport.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/statbmp.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

// A window below `window` showing `label`, whatever letter it was given for Alt.
bool HasLabel(wxWindow* window, const wxString& label)
{
    for (wxWindow* child : window->GetChildren()) {
        if (StripMnemonic(child->GetLabel()) == label || HasLabel(child, label))
            return true;
    }
    return false;
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, StartsInTheStoredLanguageSwitchesAndWritesLangAtExit)
{
    ASSERT_TRUE(Start("[cfg]\nlang=EN\n"));
    EXPECT_TRUE(m_messages.Texts().empty());
    EXPECT_TRUE(HasLabel(m_window, "Connected scanners"));
    EXPECT_TRUE(HasLabel(m_window, "Home"));
    EXPECT_EQ("Vostrel V1.0.0.B5", m_window->GetTitle());

    wxChoice* chooser = m_window->GetHomePage()->GetLanguageChooser();
    ASSERT_EQ(2u, chooser->GetCount());
    EXPECT_EQ("English", chooser->GetStringSelection());
    ASSERT_TRUE(m_window->GetHomePage()->SelectLanguage(chooser->FindString(wxString::FromUTF8("简体中文"))));
    wxTheApp->ProcessPendingEvents();
    EXPECT_TRUE(HasLabel(m_window, wxString::FromUTF8("在线设备")));
    EXPECT_TRUE(HasLabel(m_window, wxString::FromUTF8("主界面")));
    EXPECT_EQ(2052, CAppContext::GetInstance().GetUiLanguageId());

    Destroy();
    EXPECT_NE(std::string::npos, m_dir.Read("hbs.ini").find("lang=CN"));
}

// A language file that is missing (null content) or broken.
struct SBrokenLanguageFile {
    const char* file;
    const char* content;
};

class MainWindowStartTest : public MainWindowFixture, public ::testing::WithParamInterface<SBrokenLanguageFile> {};

TEST_P(MainWindowStartTest, ABrokenLanguageFileEndsTheProgramWithTheResourceMessage)
{
    const std::string path(m_dir.File(GetParam().file).utf8_str());
    if (GetParam().content)
        m_dir.Write(GetParam().file, GetParam().content);
    else
        std::filesystem::remove(path);
    EXPECT_FALSE(Start(""));
    EXPECT_EQ(std::vector<wxString>{wxString::FromUTF8("打开资源文件失败,请确认程序是否正常安装!")}, m_messages.Texts());
}

INSTANTIATE_TEST_SUITE_P(LanguageFiles, MainWindowStartTest,
                         ::testing::Values(SBrokenLanguageFile{"Config/language.xml", nullptr},
                                           SBrokenLanguageFile{"Config/lang_cn.xml", "<language><property"}));

TEST_F(MainWindowTest, F1WithoutABrowserShowsTheHelpInItsOwnViewAndAMissingDocumentIsReported)
{
    ASSERT_TRUE(Start("[cfg]\nlang=EN\n"));
    wxString offered;
    SetHelpLauncher([&offered](const wxString& path) {
        offered = path;
        return false;  // the desktop has no browser
    });
    SendKey(m_window, WXK_F1);
    SetHelpLauncher(nullptr);

    EXPECT_EQ(m_dir.File("Doc/Vostrel_EN.html"), offered);
    EXPECT_TRUE(m_messages.Texts().empty());
    CHelpViewFrame* view = TopLevel<CHelpViewFrame>();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ("Vostrel help", view->GetView()->GetOpenedPageTitle());
    // Escape closes it, and the batch upgrade window too (which also has Close).
    wxWeakRef<wxWindow> batch(new CDeviceBatchUpgradeDlg(m_window));
    batch->Show();
    for (wxWeakRef<wxWindow> closing : {wxWeakRef<wxWindow>(view), batch}) {
        SendKey(closing, WXK_ESCAPE);
        wxYield();
        EXPECT_TRUE(!closing || !closing->IsShown());
    }
    if (batch)
        batch->Destroy();

    // F1 in the dialogs that are windows of their own opens the help as well.
    int launched = 0;
    SetHelpLauncher([&launched](const wxString&) {
        ++launched;
        return true;
    });
    const wxImage picture(32, 24);
    const std::vector<wxDialog*> dialogs = {new CImageShowDlg(m_window, picture),
                                            new CImageManageDlg(m_window, picture, nullptr, 0),
                                            new CDataFormatterDlg(m_window, "", 0, {"EAN-13"}),
                                            new CDeviceBatchUpgradeDlg(m_window), new CDialog_Log(m_window, m_dir.Path()),
                                            new CDriverLicenseInfoDlg(m_window, {})};
    for (wxDialog* dialog : dialogs) {
        SendKey(dialog, WXK_F1);
        dialog->Destroy();
    }
    SetHelpLauncher(nullptr);
    EXPECT_EQ(static_cast<int>(dialogs.size()), launched);

    std::filesystem::remove(std::string(m_dir.File("Doc/Vostrel_EN.html").utf8_str()));
    EXPECT_FALSE(OpenHelpDocument());
    EXPECT_EQ(std::vector<wxString>{"The help document could not be opened."}, m_messages.Texts());
}

// The letters of the shown buttons and check boxes below `window`; 0 for one without.
void CollectLetters(wxWindow* window, std::vector<wxChar>& letters)
{
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        if (dynamic_cast<wxButton*>(child) || dynamic_cast<wxCheckBox*>(child)) {
            if (!child->GetLabel().empty())
                letters.push_back(MnemonicOf(child->GetLabel()));
        } else {
            CollectLetters(child, letters);
        }
    }
}

// In both languages, and again after switching: every button of the home page has an
// Alt+letter, and no two share one.
TEST_F(MainWindowTest, EveryButtonHasALetterOfItsOwnAfterALanguageChangeToo)
{
    CMnemonicManager mnemonics;
    ASSERT_TRUE(Start("[cfg]\nlang=EN\n"));
    for (const char* language : {"English", "简体中文", "English"}) {
        wxChoice* chooser = m_window->GetHomePage()->GetLanguageChooser();
        ASSERT_TRUE(m_window->GetHomePage()->SelectLanguage(chooser->FindString(wxString::FromUTF8(language))));
        std::vector<wxChar> letters;
        const bool lettered = RunUntil(
            [&] {
                letters.clear();
                CollectLetters(m_window, letters);
                return !letters.empty() && std::count(letters.begin(), letters.end(), 0) == 0;
            },
            5);
        EXPECT_TRUE(lettered) << language;
        std::sort(letters.begin(), letters.end());
        EXPECT_EQ(letters.end(), std::adjacent_find(letters.begin(), letters.end())) << language;
    }
}

TEST_F(MainWindowTest, RescueModeMarksTheTitle)
{
    CAppContext::GetInstance().SetVersion("2.1.0.0");
    ASSERT_TRUE(Start("[cfg]\nlang=EN\nCheckCpu=1\n"));
    EXPECT_EQ("Vostrel V2.1.0.Rescue", m_window->GetTitle());
}

// The message box the program installs: the icon of the message's kind, a window wide
// enough for its caption, and the answer of the button pressed.
TEST(MessageBoxTest, ShowsTheIconOfItsKindAndAnswersWithTheButtonPressed)
{
    const struct {
        long style;
        int button;
        int answer;
    } cases[] = {{wxOK | wxICON_ERROR, wxID_OK, wxOK}, {wxYES_NO | wxICON_QUESTION, wxID_NO, wxNO},
                 {wxYES_NO | wxCANCEL | wxICON_WARNING, wxID_CANCEL, wxCANCEL}};
    InstallDialogMessageHandler();
    for (const auto& c : cases) {
        bool hasIcon = false;
        int width = 0, captionWidth = 0;
        const auto answer = [&](wxTimer& driver) {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* dialog = dynamic_cast<wxDialog*>(window);
                if (!dialog || !dialog->IsModal())
                    continue;
                hasIcon = ChildOf<wxStaticBitmap>(dialog) != nullptr;
                width = dialog->GetClientSize().GetWidth();
                captionWidth = dialog->GetTextExtent(dialog->GetTitle()).GetWidth();
                driver.Stop();
                dialog->EndModal(c.button);
            }
        };
        DriveWhile(50, answer, [&] { EXPECT_EQ(c.answer, ShowMessage("OK?", c.style)) << c.style; });
        EXPECT_TRUE(hasIcon) << c.style;
        EXPECT_GT(width, captionWidth + 100) << "room for the whole caption beside the title bar's buttons";
    }
    SetMessageHandler(nullptr);
}

// A task that knows its size fills the bar; one that does not keeps the pulse.
TEST(WaitDialogTest, ABarFillsWithTheShareOfKnownWorkAndPulsesOtherwise)
{
    const struct {
        uint64_t total, done;
        int bar;
        const char* text;
    } cases[] = {{4, 2, 500, "2 / 4"}, {0, 3, -1, ""}, {3, 3, 1000, "3 / 3"}};
    for (const auto& c : cases) {
        std::atomic<bool> reported{false}, release{false};
        int bar = -1;
        wxString text = "unread";
        int ticks = 0;
        const auto read = [&](wxTimer&) {
            for (wxWindow* window : wxTopLevelWindows) {
                auto* dialog = dynamic_cast<CWaitDlg*>(window);
                // A few of the window's own ticks after the report, so that it has shown it.
                if (!dialog || !reported || ++ticks < 4)
                    continue;
                bar = c.total ? dialog->GetGauge()->GetValue() : -1;
                text = dialog->GetProgressText();
                release = true;
            }
        };
        bool result = false;
        DriveWhile(50, read, [&] {
            result = CWaitDlg::Run(nullptr, [&] {
                StartTaskProgress(c.total);
                AdvanceTaskProgress(c.done);
                reported = true;
                while (!release)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                return true;
            });
        });
        EXPECT_TRUE(result);
        EXPECT_EQ(c.bar, bar) << c.total;
        EXPECT_TRUE(text.StartsWith(c.text)) << text;
        EXPECT_EQ(c.total == 0, text.empty()) << text;
    }
}

// Every Open and Save: a title, the documents folder the first time, then the folder of
// the last file chosen; a name typed without extension gets the chosen type's.
TEST(FileChooserTest, StartsInTheDocumentsThenWhereTheLastFileWasAndAddsTheTypesExtension)
{
    CAppSettings::ResetInstance();  // no folder remembered yet
    CTempDir dir;
    std::vector<SFileQuestion> asked;
    wxString answer;
    SetFileChooser([&](const SFileQuestion& question) {
        asked.push_back(question);
        return answer;
    });
    const struct {
        bool save;
        const char* filter;
        const char* typed;
        const char* chosen;
    } steps[] = {{true, "Vost Files (*.xml)|*.xml||", "cfg", "cfg.xml"},
                 {true, "txt (*.txt)|*.txt|All Files (*.*)|*.*", "notes.log", "notes.log"},
                 {false, "All Files (*.*)|*.*", "firmware", "firmware"}};
    for (const auto& step : steps) {
        SFileQuestion question;
        question.save = step.save;
        question.filter = step.filter;
        answer = dir.File(step.typed);
        EXPECT_EQ(dir.File(step.chosen), ChooseFile(nullptr, question)) << step.typed;
        EXPECT_FALSE(asked.back().title.empty()) << step.typed;
    }
    ASSERT_EQ(3u, asked.size());
    EXPECT_EQ(CAppContext::GetInstance().GetDocumentsFolder(), asked[0].defaultFolder);
    EXPECT_EQ(wxFileName(dir.Path()).GetPath(), asked[1].defaultFolder);
    EXPECT_EQ(wxFileName(dir.Path()).GetPath(), asked[2].defaultFolder);
    SetFileChooser(nullptr);
    CAppSettings::ResetInstance();
}

}  // namespace

// The look over the windows that the page tour runs: each kind of fault on a
// small window of its own, and the same window laid out right.
TEST(LayoutCheckTest, FindsCutTextOverlapsStrayControlsAndFaintText)
{
    const struct {
        const char* name;
        std::function<void(wxPanel*)> build;
        const char* fault;  // a word of the one expected report, or "" for none
    } cases[] = {
        {"label narrower than its text",
         [](wxPanel* p) { new wxStaticText(p, wxID_ANY, "A caption longer than its room", wxPoint(0, 0), wxSize(40, 30)); },
         "needs"},
        {"button lower than its face",
         [](wxPanel* p) { new wxButton(p, wxID_ANY, "Write", wxPoint(0, 0), wxSize(200, 12)); },
         "needs"},
        {"shortened label with the whole text on hover",
         [](wxPanel* p) {
             auto* label = new wxStaticText(p, wxID_ANY, "A caption longer than its room", wxPoint(0, 0), wxSize(40, 30),
                                            wxST_ELLIPSIZE_END);
             label->SetToolTip(label->GetLabel());
         },
         ""},
        {"shortened label without the whole text",
         [](wxPanel* p) {
             new wxStaticText(p, wxID_ANY, "A caption longer than its room", wxPoint(0, 0), wxSize(40, 30),
                              wxST_ELLIPSIZE_END);
         },
         "needs"},
        {"buttons over each other",
         [](wxPanel* p) {
             new wxButton(p, wxID_ANY, "A", wxPoint(0, 0), wxSize(100, 40));
             new wxButton(p, wxID_ANY, "B", wxPoint(50, 10), wxSize(100, 40));
         },
         "overlaps"},
        {"controls inside their frame",
         [](wxPanel* p) {
             new wxStaticBox(p, wxID_ANY, "Frame", wxPoint(0, 0), wxSize(300, 150));
             new wxButton(p, wxID_ANY, "Inside", wxPoint(20, 40), wxSize(100, 40));
         },
         ""},
        {"control past its window's edge",
         [](wxPanel* p) { new wxButton(p, wxID_ANY, "Out", wxPoint(350, 250), wxSize(100, 40)); },
         "sticks out"},
        {"text in a colour too close to its ground",
         [](wxPanel* p) {
             p->SetBackgroundColour(wxColour(40, 50, 70));
             auto* label = new wxStaticText(p, wxID_ANY, "Faint", wxPoint(0, 0));
             label->SetForegroundColour(wxColour(46, 52, 54));
         },
         "contrast"},
        {"a laid-out row",
         [](wxPanel* p) {
             auto* row = new wxBoxSizer(wxHORIZONTAL);
             row->Add(new wxStaticText(p, wxID_ANY, "Name"), 0, wxALL, 4);
             row->Add(new wxButton(p, wxID_ANY, "Write to scanner"), 0, wxALL, 4);
             p->SetSizer(row);
             p->Layout();
         },
         ""},
    };
    for (const auto& c : cases) {
        auto* frame = new wxFrame(nullptr, wxID_ANY, c.name, wxDefaultPosition, wxSize(400, 300));
        auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxSize(400, 300));
        c.build(panel);
        panel->SetSize(frame->GetClientSize());
        const std::vector<wxString> faults = CLayoutCheck::Check(panel);
        if (*c.fault) {
            ASSERT_EQ(1u, faults.size()) << c.name;
            EXPECT_NE(wxNOT_FOUND, faults[0].Find(c.fault)) << c.name << ": " << faults[0];
        } else {
            EXPECT_TRUE(faults.empty()) << c.name << ": " << (faults.empty() ? wxString() : faults[0]);
        }
        frame->Destroy();
    }
    EXPECT_NEAR(21.0, ContrastRatio(*wxBLACK, *wxWHITE), 0.01);
    EXPECT_NEAR(1.0, ContrastRatio(wxColour(90, 90, 90), wxColour(90, 90, 90)), 0.01);
    EXPECT_GT(ContrastRatio(wxColour(46, 52, 54), wxColour(246, 245, 244)), CLayoutCheck::kMinTextContrast);
}

