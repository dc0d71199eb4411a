// The test programs without windows start wxWidgets as the command-line tool does, and
// a failed wxWidgets assertion fails the running test: in the program it would stop
// the user with an assertion dialog.
#include "FailOnWxAssert.h"
#include "PrivateUserFolders.h"

#include <gtest/gtest.h>
#include <wx/init.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    CPrivateUserFolders userFolders;
    wxInitializer wx;
    if (!wx.IsOk())
        return 1;
    CFailOnWxAssert assertsFail;
    return RUN_ALL_TESTS();
}
