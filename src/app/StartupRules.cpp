#include "StartupRules.h"

#include <wx/tokenzr.h>

bool IsScreenLargeEnough(int width, int height)
{
    return width >= 800 && height >= 545;
}

namespace {

bool SplitVersion(const wxString& text, unsigned long parts[4])
{
    wxArrayString pieces = wxSplit(text, '.', '\0');
    if (pieces.size() != 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        if (pieces[i].empty() || !pieces[i].IsNumber() || !pieces[i].ToULong(&parts[i]) || parts[i] > 65535)
            return false;
    }
    return true;
}

}  // namespace

wxString FormatProgramVersion(const wxString& builtIn)
{
    unsigned long parts[4];
    if (!SplitVersion(builtIn, parts))
        return "1.0.0.5";
    return wxString::Format("%lu.%lu.%lu.%lu", parts[0], parts[1], parts[2], parts[3]);
}

wxString FormatTitleVersion(const wxString& programVersion, bool rescueMode)
{
    unsigned long parts[4] = {1, 0, 0, 5};
    SplitVersion(FormatProgramVersion(programVersion), parts);
    wxString text = parts[3] == 0 ? wxString::Format("%lu.%lu.%lu", parts[0], parts[1], parts[2])
                                  : wxString::Format("%lu.%lu.%lu.B%lu", parts[0], parts[1], parts[2], parts[3]);
    if (rescueMode)
        text += ".Rescue";
    return text;
}

int UiLanguageIdFor(const wxString& languageCode)
{
    return languageCode.IsSameAs("CN", false) ? 2052 : 1033;
}

SUiFontChoice ChooseUiFont(const wxArrayString& installedFaces)
{
    const wxString yaHei = wxString::FromUTF8("微软雅黑");
    for (const wxString& face : installedFaces) {
        if (face == yaHei || face == "Microsoft YaHei")
            return {yaHei, 18, 18 + 6};
    }
    return {"Arial", 16, 16 + 2};
}

SCommandLineFiles ScanCommandLine(const wxArrayString& arguments)
{
    SCommandLineFiles files;
    const size_t count = arguments.size();
    for (size_t i = 1; i + 1 < count; ++i) {
        if (arguments[i].IsSameAs("-File", false))
            files.outputFile = arguments[i + 1];
        else if (arguments[i].IsSameAs("-Xml", false))
            files.configurationFile = arguments[i + 1];
        else if (arguments[i] == "-UpdateError")
            files.updateError = arguments[i + 1];
    }
    return files;
}
