// Window tests need a display (Xvfb) and one wx application for the whole run.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>

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
    }
    void TearDown() override { wxEntryCleanup(); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CWxEnvironment());
    return RUN_ALL_TESTS();
}
