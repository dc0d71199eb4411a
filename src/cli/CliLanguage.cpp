#include "CliLanguage.h"

#include "app/IniFile.h"

#include <wx/filename.h>
#include <wx/log.h>

#include <cstdlib>

namespace {

bool IsKnownLanguage(const wxString& code)
{
    return code == "CN" || code == "EN";
}

wxString StoredLanguage(const wxString& iniPath)
{
    wxLogNull quiet;  // an unreadable settings file only means no stored language
    if (!wxFileName::FileExists(iniPath))
        return wxString();
    const wxString stored = ReadIniFile(iniPath)->Read("cfg/lang", wxString()).Upper();
    return IsKnownLanguage(stored) ? stored : wxString();
}

// The locale a program's messages follow, in POSIX order of precedence.
wxString LocaleLanguage()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return wxString(value).StartsWith("zh") ? "CN" : "EN";
    }
    return "EN";
}

}  // namespace

bool TakeLanguageOption(std::vector<std::string>& arguments, std::string& language, std::string& error)
{
    for (size_t i = 0; i < arguments.size();) {
        if (arguments[i] != "--lang") {
            ++i;
            continue;
        }
        if (i + 1 >= arguments.size() || !IsKnownLanguage(wxString(arguments[i + 1]))) {
            error = "--lang is CN or EN";
            return false;
        }
        language = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<long>(i), arguments.begin() + static_cast<long>(i) + 2);
    }
    return true;
}

wxString ChooseCliLanguage(const std::string& option, const wxString& iniPath)
{
    if (!option.empty())
        return wxString(option);
    const wxString stored = StoredLanguage(iniPath);
    return stored.empty() ? LocaleLanguage() : stored;
}
