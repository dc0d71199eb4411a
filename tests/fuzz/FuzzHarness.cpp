#include "FuzzHarness.h"

#include "app/AppContext.h"
#include "hbds/hbds.h"

#include <wx/filefn.h>
#include <wx/debug.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A plain global, not a function's static: it must outlive the clean-up at exit.
std::string g_directory;

// A failed wxWidgets assertion is a finding: in the program it would stop the user
// with an assertion dialog. Printing it and aborting lets libFuzzer keep the input.
void AbortOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                   const wxString& message)
{
    const wxString report = wxString::Format("%s:%d %s: %s %s", file, line, function, condition, message);
    std::fprintf(stderr, "wxWidgets assertion failed: %s\n", report.utf8_str().data());
    std::abort();
}

wxString MakeProgramDirectory()
{
    static wxInitializer initializer;
    std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    g_directory = pattern;
    std::atexit([] { std::filesystem::remove_all(g_directory); });
    const wxString directory = wxString::FromUTF8(pattern) + "/";
    wxMkdir(directory + "Config");
    // Only the worst errors are logged, to the private folder: the readers log every
    // malformed file, which is nearly every input.
    hbds_set_log_directory(pattern.c_str());
    HBSetLogLevel(1);
    CAppContext::GetInstance().SetProgramDirectory(directory);
    return directory;
}

}  // namespace

// libFuzzer calls this once before the first input, in every target.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    wxSetAssertHandler(AbortOnAssert);
    return 0;
}

const wxString& FuzzProgramDirectory()
{
    static const wxString directory = MakeProgramDirectory();
    return directory;
}

wxString WriteFuzzFile(const wxString& relativePath, const uint8_t* data, size_t size)
{
    const wxString path = FuzzProgramDirectory() + relativePath;
    FILE* file = std::fopen(path.utf8_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    return path;
}

void CopyShippedConfig(const wxString& fileName)
{
    if (!wxCopyFile(VOSTREL_DATA_DIR "/Config/" + fileName, FuzzProgramDirectory() + "Config/" + fileName))
        std::abort();
}

wxString FuzzText(const uint8_t* data, size_t size)
{
    const wxString text = wxString::FromUTF8(reinterpret_cast<const char*>(data), size);
    return text.empty() && size > 0 ? wxString(reinterpret_cast<const char*>(data), wxConvISO8859_1, size) : text;
}
