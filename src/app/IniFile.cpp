#include "IniFile.h"

#include "SafeFile.h"
#include "XmlFile.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/wfstream.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace {

constexpr long kIniStyle = wxCONFIG_USE_LOCAL_FILE | wxCONFIG_USE_NO_ESCAPE_CHARACTERS;

bool ReadBytes(const wxString& path, std::string& bytes)
{
    wxFFile file(path, "rb");
    if (!file.IsOpened())
        return false;
    char buffer[4096];
    size_t count = 0;
    while ((count = file.Read(buffer, sizeof buffer)) > 0)
        bytes.append(buffer, count);
    return !file.Error();
}

// Blanks that wxWidgets trims from both ends of a line (a CR or LF ends the line).
const char kBlanks[] = " \t\v\f";

// A line starting with another control character or a byte of a multi-byte character
// may start with a blank that wxWidgets trims (a Unicode space) and so hide a header or
// a nameless entry; our files never have such lines.
bool IsOddStart(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte >= 0x80;
}

// wxFileConfig reads "/", "." and ".." in a section name as a path into nested sections,
// a backslash as an escape, and compares names without regard to case, so "[a/../CFG]"
// would be a second "[cfg]". Our files have flat sections with plain names, so only
// printable ASCII names are kept, compared in lower case.
bool IsPlainSectionName(const std::string& name)
{
    const bool printable = std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    return printable && !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// Whether the section header between `first` and `end` can be read: well formed, plain,
// and not a repeat of one in `sections` (which it joins).
bool IsReadableHeader(const std::string& text, size_t first, size_t end, std::set<std::string>& sections)
{
    const size_t close = text.find(']', first);
    if (close >= end)
        return false;
    const size_t after = text.find_first_not_of(kBlanks, close + 1);
    const std::string name = text.substr(first + 1, close - first - 1);
    return (after == std::string::npos || after >= end) && IsPlainSectionName(name)
        && sections.insert(LowerCase(name)).second;
}

// What wxFileConfig cannot hold, and asserts on, is turned into comments: a line with
// no name before its "=", and a section header that is broken or repeats an earlier
// one, together with the lines under it (the first section of a name is the one read,
// as the scanner tools that share these files do). True when anything was turned.
bool CommentOutWhatCannotBeHeld(std::string& text)
{
    bool changed = false;
    bool inDroppedSection = false;
    std::set<std::string> sections;
    for (size_t lineStart = 0; lineStart < text.size();) {
        // Like wxWidgets' text buffer, a lone CR ends a line as well.
        size_t end = std::min(text.find_first_of("\r\n", lineStart), text.size());
        const size_t first = text.find_first_not_of(kBlanks, lineStart);
        bool drop = false;
        if (first < end && IsOddStart(text[first])) {
            drop = true;
        } else if (first < end && text[first] == '[') {
            inDroppedSection = !IsReadableHeader(text, first, end, sections);
            drop = inDroppedSection;
        } else if (first < end && text[first] != ';' && text[first] != '#') {
            drop = inDroppedSection || text[first] == '=';
        }
        if (drop) {
            text.insert(lineStart, 1, ';');
            ++end;
            changed = true;
        }
        lineStart = end + 1;
    }
    return changed;
}

// wxFileConfig reads values as written only from a file of its own, so a repaired copy
// is read from a temporary file. Made with mkstemp: wxWidgets' temporary names need a
// running application, which the command-line tool and the tests do not have.
std::unique_ptr<wxFileConfig> ReadRepairedCopy(const std::string& text)
{
    std::string copyPath = (std::filesystem::temp_directory_path() / "vostrel-ini-XXXXXX").string();
    const int descriptor = mkstemp(copyPath.data());
    if (descriptor < 0)
        return nullptr;
    std::unique_ptr<wxFileConfig> ini;
    const bool written = write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (close(descriptor) == 0 && written)
        ini = std::make_unique<wxFileConfig>(
            wxEmptyString, wxEmptyString, wxString::FromUTF8(copyPath), wxEmptyString, kIniStyle);
    std::remove(copyPath.c_str());
    return ini;
}

// Not file-backed: a file-backed one without a file name would read the user's
// own configuration file.
std::unique_ptr<wxFileConfig> EmptyIni()
{
    wxMemoryInputStream nothing("", 0);
    auto ini = std::make_unique<wxFileConfig>(nothing);
    ini->SetStyle(wxCONFIG_USE_NO_ESCAPE_CHARACTERS);
    return ini;
}

}  // namespace

std::unique_ptr<wxFileConfig> ReadIniFile(const wxString& path)
{
    wxLogNull quiet;  // a broken file reads as what could be understood of it
    std::string text;
    if (!wxFileName::FileExists(path) || !ReadBytes(path, text))
        return EmptyIni();
    if (!CommentOutWhatCannotBeHeld(text))
        return std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, path, wxEmptyString, kIniStyle);
    std::unique_ptr<wxFileConfig> ini = ReadRepairedCopy(text);
    return ini ? std::move(ini) : EmptyIni();
}

bool WriteIniFile(wxFileConfig& ini, const wxString& path)
{
    wxLogNull quiet;
    wxMemoryOutputStream out;
    if (!ini.Save(out))
        return false;
    std::string bytes(out.GetSize(), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    std::string error;
    return WriteFileSafely(PathBytes(path), bytes, error);
}
