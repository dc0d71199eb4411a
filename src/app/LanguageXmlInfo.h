// The UI languages ("language.xml") and the text table of the current one.
#pragma once

#include <wx/string.h>

#include <map>
#include <vector>

struct SLanguageEntry {
    wxString name;          // language code, stored in "hbs.ini"
    wxString displayText;   // shown in the language chooser
    wxString file;          // text file, relative to Config/
    wxString helpDocument;  // full path of the help document
};

class CLanguageXmlInfo {
public:
    static CLanguageXmlInfo& GetInstance();
    static void ResetInstance();

    // Reads "Config/language.xml" of the program directory.
    bool LoadLanguageList();
    bool LoadLanguageList(const wxString& path);
    // Empties the table and reads the named language's text file; sets the current
    // language, its help document and UI language identifier. False when the name
    // is not listed or its file cannot be read (the table then stays empty).
    bool LoadLanguageTexts(const wxString& name);

    // The language to start with: `stored` when listed, else the first listed. Until
    // the user has chosen (`stored` empty) the desktop's locale decides: Chinese for
    // "zh_*", English for any other; without a locale, the list's default language.
    wxString ChooseStartLanguage(const wxString& stored, const wxString& desktopLocale = wxString()) const;

    // The locale the desktop asks for: LC_ALL, else LC_MESSAGES, else LANG.
    static wxString DesktopLocale();

    const std::vector<SLanguageEntry>& GetLanguages() const { return m_languages; }
    const wxString& GetDefaultLanguage() const { return m_defaultLanguage; }
    const wxString& GetCurrentLanguage() const { return m_currentLanguage; }
    const SLanguageEntry* FindLanguage(const wxString& name) const;

    // The text of `identifier` (any letter case) or `fallback` when there is none.
    wxString GetText(const wxString& identifier, const wxString& fallback) const;
    size_t GetTextCount() const { return m_texts.size(); }

private:
    CLanguageXmlInfo() = default;
    bool ReadTextFile(const wxString& path);

    std::vector<SLanguageEntry> m_languages;
    wxString m_defaultLanguage;
    wxString m_currentLanguage;
    std::map<wxString, wxString> m_texts;  // upper-case identifier -> text
};
