// Window tests need a display (Xvfb in the test script) and one wx application for
// the whole run. A failed wxWidgets assertion fails the running test: in the program
// it would stop the user with an assertion dialog, and so does a GTK warning or
// critical message: in the program it lands on standard error as a defect of ours
// (a widget sized below zero, a bad flag), seen by whoever starts it from a terminal.
#include "device/LineOwner.h"
#include "support/FailOnWxAssert.h"
#include "support/PrivateUserFolders.h"

#include <glib.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace {

bool IsGtkWarning(const char* domain, GLogLevelFlags level)
{
    return domain && (g_str_equal(domain, "Gtk") || g_str_equal(domain, "Gdk")) &&
           (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) != 0;
}

void ReportGtkWarning(const char* domain, GLogLevelFlags level, const char* message)
{
    ADD_FAILURE() << domain << ((level & G_LOG_LEVEL_CRITICAL) ? "-CRITICAL: " : "-WARNING: ")
                  << (message ? message : "");
}

// Every message reaches the structured writer, the classic g_log ones through the
// default handler.
GLogWriterOutput WriteLogRecord(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data)
{
    const char* domain = nullptr;
    const char* message = nullptr;
    for (gsize i = 0; i < count; ++i) {
        if (g_str_equal(fields[i].key, "GLIB_DOMAIN"))
            domain = static_cast<const char*>(fields[i].value);
        else if (g_str_equal(fields[i].key, "MESSAGE"))
            message = static_cast<const char*>(fields[i].value);
    }
    if (IsGtkWarning(domain, level))
        ReportGtkWarning(domain, level, message);
    return g_log_writer_default(level, fields, count, data);
}

class CWxEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        wxApp::SetInstance(new wxApp());
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        g_log_set_writer_func(WriteLogRecord, nullptr, nullptr);
        // The program picks its first language from the desktop's locale; the tests
        // start as on a desktop without one, whatever the shell running them has.
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
            unsetenv(variable);
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under Xvfb";
        ASSERT_TRUE(wxTheApp->CallOnInit());
        wxInitAllImageHandlers();
        m_assertsFail = std::make_unique<CFailOnWxAssert>();
        // The windows' thread queues its work on the scanner line; a test that finds
        // it taking the line has found a window that would freeze.
        CLineOwner::ForbidThread(std::this_thread::get_id(), [](const SLineUser& user) {
            ADD_FAILURE() << "the window thread took the scanner line (" << user.textId << ")";
        });
    }
    void TearDown() override
    {
        CLineOwner::ForbidThread(std::thread::id());
        m_assertsFail.reset();
        wxEntryCleanup();
    }

private:
    std::unique_ptr<CFailOnWxAssert> m_assertsFail;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    CPrivateUserFolders userFolders;
    ::testing::AddGlobalTestEnvironment(new CWxEnvironment());
    return RUN_ALL_TESTS();
}
