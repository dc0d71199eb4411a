// A Word document (Office Open XML, .docx) of paragraphs and inline pictures,
// written as a zip package with libzip and its XML parts with the XML library.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class wxXmlNode;

class CDocxWriter {
public:
    CDocxWriter();
    ~CDocxWriter();
    CDocxWriter(const CDocxWriter&) = delete;
    CDocxWriter& operator=(const CDocxWriter&) = delete;

    // One line of text, then a paragraph break.
    void AddParagraph(const wxString& text);
    // A PNG picture inline in a paragraph of its own, shown `width` by `height` points.
    void AddPicture(const std::vector<uint8_t>& png, double width, double height);
    // False when the file cannot be written; an existing file is then left as it was.
    bool SaveToFile(const wxString& path) const;

private:
    wxXmlNode* NewParagraph(bool centred);

    std::unique_ptr<wxXmlNode> m_body;
    std::vector<std::vector<uint8_t>> m_pictures;
};
