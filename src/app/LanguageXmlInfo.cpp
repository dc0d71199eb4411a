#include "LanguageXmlInfo.h"

#include "AppContext.h"
#include "Log.h"
#include "XmlFile.h"

#include <wx/utils.h>

#include <memory>

namespace {
std::unique_ptr<CLanguageXmlInfo> g_languages;
const char kSource[] = "LanguageXmlInfo.cpp";
}  // namespace

CLanguageXmlInfo& CLanguageXmlInfo::GetInstance()
{
    if (!g_languages)
        g_languages.reset(new CLanguageXmlInfo());
    return *g_languages;
}

void CLanguageXmlInfo::ResetInstance()
{
    g_languages.reset();
}

bool CLanguageXmlInfo::LoadLanguageList()
{
    return LoadLanguageList(CAppContext::GetInstance().GetFilePath("Config", "language.xml"));
}

bool CLanguageXmlInfo::LoadLanguageList(const wxString& path)
{
    m_languages.clear();
    m_defaultLanguage.clear();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "language", kSource))
        return false;
    const CAppContext& context = CAppContext::GetInstance();
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (node->GetName() == "property") {
            SLanguageEntry entry;
            entry.name = node->GetAttribute("name");
            entry.displayText = GetElementValue(node);
            entry.file = node->GetAttribute("file");
            entry.helpDocument = context.GetFilePath("Doc", node->GetAttribute("help"));
            if (!entry.name.empty())
                m_languages.push_back(entry);
        } else if (node->GetName() == "default") {
            m_defaultLanguage = node->GetAttribute("name");
        }
    }
    return true;
}

const SLanguageEntry* CLanguageXmlInfo::FindLanguage(const wxString& name) const
{
    for (const SLanguageEntry& entry : m_languages) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

wxString CLanguageXmlInfo::ChooseStartLanguage(const wxString& stored, const wxString& desktopLocale) const
{
    wxString wanted = stored;
    if (wanted.empty())
        wanted = desktopLocale.empty() ? m_defaultLanguage : wxString(desktopLocale.Lower().StartsWith("zh") ? "CN" : "EN");
    if (FindLanguage(wanted) || m_languages.empty())
        return wanted;
    return m_languages.front().name;
}

wxString CLanguageXmlInfo::DesktopLocale()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        wxString value;
        if (wxGetEnv(variable, &value) && !value.empty())
            return value;
    }
    return wxString();
}

bool CLanguageXmlInfo::LoadLanguageTexts(const wxString& name)
{
    const SLanguageEntry* entry = FindLanguage(name);
    if (!entry)
        return false;
    m_texts.clear();
    m_currentLanguage = name;
    CAppContext::GetInstance().SetLanguage(name, entry->helpDocument);
    return ReadTextFile(CAppContext::GetInstance().GetFilePath("Config", entry->file));
}

bool CLanguageXmlInfo::ReadTextFile(const wxString& path)
{
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "language", kSource))
        return false;
    // A text file without a single entry is as broken as one that does not parse.
    if (!document.GetRoot()->GetChildren()) {
        logout_line(LOG_ERROR, kSource, __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "property")
            continue;
        const wxString identifier = node->GetAttribute("name").Upper();
        if (!identifier.empty())
            m_texts.emplace(identifier, GetElementValue(node));  // the first occurrence wins
    }
    return true;
}

wxString CLanguageXmlInfo::GetText(const wxString& identifier, const wxString& fallback) const
{
    if (identifier.empty() || m_texts.empty())
        return fallback;
    const auto it = m_texts.find(identifier.Upper());
    return it == m_texts.end() ? fallback : it->second;
}
