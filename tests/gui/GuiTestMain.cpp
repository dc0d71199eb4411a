// Window tests need a display (Xvfb in the test script) and one wx application for
// the whole run. A failed wxWidgets assertion fails the running test: in the program
// it would stop the user with an assertion dialog.
#include "FailOnWxAssert.h"
#include "PrivateUserFolders.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>

#include <memory>

namespace {

class CWxEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        wxApp::SetInstance(new wxApp());
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display: run under Xvfb";
        ASSERT_TRUE(wxTheApp->CallOnInit());
        wxInitAllImageHandlers();
        m_assertsFail = std::make_unique<CFailOnWxAssert>();
    }
    void TearDown() override
    {
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
