// vostrel-update -VER <old version> -URL <archive address> -AUTO [-DIR <program folder>] [-WAIT <seconds>]
//                [-CAFILE <certificates>]
// Started by a portable copy of the program when the update check found a newer version.
#include "Updater.h"

#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

#ifdef VOSTREL_UPDATER_TEST_KEY
// Only the test build of the updater reads its key from a file named by the
// environment, so the tests can sign archives with a key made on the spot; the
// updater that ships knows no such variable.
std::string TestKey()
{
    const char* path = std::getenv("VOSTREL_UPDATE_TEST_KEY");
    std::ifstream in(path ? path : "");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer wx;
    if (!wx.IsOk()) {
        std::fprintf(stderr, "vostrel-update: cannot initialise\n");
        return UPDATE_BAD_ARGUMENTS;
    }
    SUpdaterOptions options;
    wxString error;
    if (!ParseUpdaterArguments(argc, argv, options, error)) {
        std::fprintf(stderr, "vostrel-update: %s\nusage: vostrel-update -VER <version> -URL <archive> -AUTO "
                             "[-DIR <program folder>] [-WAIT <seconds>] [-CAFILE <certificates>]\n",
                     static_cast<const char*>(error.utf8_str()));
        return UPDATE_BAD_ARGUMENTS;
    }
#ifdef VOSTREL_UPDATER_TEST_KEY
    options.publicKeyPem = TestKey();
#endif
    // By default the updater replaces the folder it was started from.
    if (options.programFolder.empty()) {
        std::error_code failed;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
        options.programFolder = wxString::FromUTF8(self.parent_path().string());
    }
    return RunUpdate(options);
}
