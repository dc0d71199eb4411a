// vostrel-cli: lists scanners and runs raw exchanges from a shell.
#include "CliCommands.h"
#include "CliLanguage.h"
#include "CliReport.h"
#include "CliSupport.h"
#include "app/AppContext.h"
#include "app/LanguageXmlInfo.h"

#include <wx/init.h>
#include <wx/stdpaths.h>

#include <algorithm>
#include <cstdio>
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
    std::string language;
    if (!TakeLanguageOption(arguments, language, error) || !ParseCliOptions(arguments, options, error)) {
        if (std::find(arguments.begin(), arguments.end(), "--json") != arguments.end()) {
            PrintJsonUsageError(std::cout, arguments.empty() ? std::string() : arguments.front(), CLI_USAGE, error);
            return CLI_USAGE;
        }
        std::cerr << "vostrel-cli: " << error << "\n\n" << CliUsage();
        return CLI_USAGE;
    }

    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectoryFromExecutable(wxStandardPaths::Get().GetExecutablePath());
    // Captions, sheet headers and messages follow the chosen language; a missing
    // table leaves the built-in texts.
    CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    if (languages.LoadLanguageList())
        languages.LoadLanguageTexts(ChooseCliLanguage(language, context.GetSettingsFile("hbs.ini")));

    UseTlsFiles(options, context.GetSettingsFile("hbs.ini"));
    UseStoredSerialPorts(context.GetSettingsFile("hbs.ini"));
    const int exitCode = FinishOutput(std::cout, std::cerr, RunCli(options, std::cout, std::cerr));
    // The stream's buffer is empty now, but the C library's own may still hold bytes.
    if (exitCode == CLI_OK && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "vostrel-cli: the output could not be written\n";
        return CLI_BAD_FILE;
    }
    return exitCode;
}
