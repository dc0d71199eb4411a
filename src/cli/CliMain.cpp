// vostrel-cli: lists scanners and runs raw exchanges from a shell.
#include "AppContext.h"
#include "CliCommands.h"
#include "CliReport.h"
#include "LanguageXmlInfo.h"

#include <wx/init.h>
#include <wx/stdpaths.h>

#include <algorithm>
#include <iostream>

int main(int argc, char** argv)
{
    wxInitializer initializer;
    if (!initializer) {
        std::cerr << "vostrel-cli: cannot start the wxWidgets base library\n";
        return CLI_USAGE;
    }
    std::vector<std::string> arguments(argv + 1, argv + argc);
    SCliOptions options;
    std::string error;
    if (!ParseCliOptions(arguments, options, error)) {
        if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end()) {
            PrintJsonUsageError(std::cout, arguments.front(), CLI_USAGE, error);
            return CLI_USAGE;
        }
        std::cerr << "vostrel-cli: " << error << "\n\n" << CliUsage();
        return CLI_USAGE;
    }

    CAppContext::GetInstance().SetProgramDirectoryFromExecutable(wxStandardPaths::Get().GetExecutablePath());
    // Messages from the link come in English here; a missing table leaves the built-in texts.
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    if (languages.LoadLanguageList())
        languages.LoadLanguageTexts("EN");

    return RunCli(options, std::cout, std::cerr);
}
