#include "PictureFile.h"

#include <wx/file.h>

#include <cstring>

namespace {

bool StartsWith(const std::vector<uint8_t>& bytes, const char* signature, size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

}  // namespace

bool CPictureFile::LooksLikePicture(const std::vector<uint8_t>& bytes)
{
    return StartsWith(bytes, "\x89PNG\r\n\x1a\n", 8) || StartsWith(bytes, "\xFF\xD8\xFF", 3) ||
           StartsWith(bytes, "BM", 2) || StartsWith(bytes, "GIF8", 4);
}

std::unique_ptr<CPictureFile> CPictureFile::Load(const wxString& path)
{
    if (path.empty() || !wxFileExists(path))
        return nullptr;
    wxFile file;
    if (!file.Open(path))
        return nullptr;
    const wxFileOffset length = file.Length();
    // Pictures of the catalogue are thumbnails; anything past 16 MiB is not one.
    if (length <= 0 || length > (16 << 20))
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (file.Read(bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return nullptr;
    if (!LooksLikePicture(bytes))
        return nullptr;
    return std::unique_ptr<CPictureFile>(new CPictureFile(path, std::move(bytes)));
}
