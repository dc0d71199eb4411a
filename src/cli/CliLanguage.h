// The language of vostrel-cli's captions, sheet headers and messages: "--lang CN|EN"
// before or after the command, else "lang" of hbs.ini, else the environment's locale.
#pragma once

#include <wx/string.h>

#include <string>
#include <vector>

// Removes every "--lang CODE" from the arguments into `language`; false with a
// message when a code is missing or is not CN or EN.
bool TakeLanguageOption(std::vector<std::string>& arguments, std::string& language, std::string& error);

// `option` when given, else the settings file's "lang" when it names CN or EN, else
// CN for a Chinese locale in LC_ALL, LC_MESSAGES or LANG (the first one set), else EN.
wxString ChooseCliLanguage(const std::string& option, const wxString& iniPath);
