#include "TempDir.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

CTempDir::CTempDir()
{
    char pattern[] = "/tmp/vostrel-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    m_path = wxString::FromUTF8(made ? made : "/tmp") + "/";
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(std::string(m_path.utf8_str()), ignored);
}

void CTempDir::Write(const wxString& name, const std::string& utf8Content) const
{
    const std::filesystem::path path(std::string(File(name).utf8_str()));
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << utf8Content;
}

std::string CTempDir::Read(const wxString& name) const
{
    std::ifstream in(std::string(File(name).utf8_str()), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void CTempDir::CopyShippedData() const
{
    std::filesystem::copy(VOSTREL_DATA_DIR, std::string(m_path.utf8_str()),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}
