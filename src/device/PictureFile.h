// A picture file held as its encoded bytes. The core has no windowing library, so
// it cannot decode images; it keeps what the file holds and lets the windows turn
// it into a bitmap. A picture "loads" when the file can be read and starts like
// one of the formats the windows decode (PNG, JPEG, BMP, GIF).
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class CPictureFile {
public:
    // Null when the file is missing, empty or not a picture.
    static std::unique_ptr<CPictureFile> Load(const wxString& path);

    const std::vector<uint8_t>& GetBytes() const { return m_bytes; }
    const wxString& GetPath() const { return m_path; }

    static bool LooksLikePicture(const std::vector<uint8_t>& bytes);

private:
    CPictureFile(const wxString& path, std::vector<uint8_t> bytes) : m_path(path), m_bytes(std::move(bytes)) {}

    wxString m_path;
    std::vector<uint8_t> m_bytes;
};
