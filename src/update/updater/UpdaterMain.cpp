// vostrel-update -VER <old version> -URL <archive address> -AUTO [-DIR <program folder>] [-WAIT <seconds>]
// Started by the program when the update check found a newer version.
#include "Updater.h"

#include <wx/init.h>

#include <cstdio>
#include <filesystem>

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
                             "[-DIR <program folder>] [-WAIT <seconds>]\n",
                     static_cast<const char*>(error.utf8_str()));
        return UPDATE_BAD_ARGUMENTS;
    }
    // By default the updater replaces the folder it was started from.
    if (options.programFolder.empty()) {
        std::error_code failed;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
        options.programFolder = wxString::FromUTF8(self.parent_path().string());
    }
    return RunUpdate(options);
}
