#include "PdfWriter.h"

#include "NarrowText.h"

#include <hpdf.h>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <vector>

namespace {

// Embedded so that the document shows the same letters everywhere; without it the
// standard Helvetica (Latin-1 only) is used.
const char* const kTextFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void OnHaruError(HPDF_STATUS, HPDF_STATUS, void* userData)
{
    ++*static_cast<int*>(userData);
}

}  // namespace

struct CPdfWriter::SImpl {
    HPDF_Doc doc = nullptr;
    HPDF_Page page = nullptr;
    HPDF_Font font = nullptr;
    bool unicodeFont = false;
    double textSize = 10;
    HPDF_Image selected = nullptr;
    int errors = 0;
    int pages = 0;

    void StartPage()
    {
        page = HPDF_AddPage(doc);
        HPDF_Page_SetSize(page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        ++pages;
    }

    std::string TextBytes(const wxString& text) const
    {
        if (unicodeFont)
            return std::string(text.utf8_str());
        const std::wstring wide = text.ToStdWstring();
        return ToNarrow(wide.c_str(), wide.size());
    }
};

CPdfWriter::CPdfWriter() : m_impl(new SImpl)
{
    m_impl->doc = HPDF_New(OnHaruError, &m_impl->errors);
    if (!m_impl->doc)
        return;
    HPDF_SetCompressionMode(m_impl->doc, HPDF_COMP_ALL);
    if (wxFileName::FileExists(kTextFontFile)) {
        HPDF_UseUTFEncodings(m_impl->doc);
        HPDF_SetCurrentEncoder(m_impl->doc, "UTF-8");
        const char* name = HPDF_LoadTTFontFromFile(m_impl->doc, kTextFontFile, HPDF_TRUE);
        m_impl->font = name ? HPDF_GetFont(m_impl->doc, name, "UTF-8") : nullptr;
        m_impl->unicodeFont = m_impl->font != nullptr;
    }
    if (!m_impl->font)
        m_impl->font = HPDF_GetFont(m_impl->doc, "Helvetica", "WinAnsiEncoding");
    m_impl->StartPage();
}

CPdfWriter::~CPdfWriter()
{
    if (m_impl->doc)
        HPDF_Free(m_impl->doc);
}

bool CPdfWriter::IsOk() const
{
    return m_impl->doc && m_impl->page && m_impl->font;
}

void CPdfWriter::SetTextSize(double size)
{
    m_impl->textSize = size;
}

int CPdfWriter::PageWidth() const
{
    return m_impl->page ? static_cast<int>(HPDF_Page_GetWidth(m_impl->page)) : 0;
}

int CPdfWriter::PageHeight() const
{
    return m_impl->page ? static_cast<int>(HPDF_Page_GetHeight(m_impl->page)) : 0;
}

bool CPdfWriter::AddImageFromFile(const wxString& path)
{
    const std::string file(path.fn_str());
    const wxString extension = wxFileName(path).GetExt().Lower();
    if (extension == "png")
        m_impl->selected = HPDF_LoadPngImageFromFile(m_impl->doc, file.c_str());
    else if (extension == "jpg" || extension == "jpeg")
        m_impl->selected = HPDF_LoadJpegImageFromFile(m_impl->doc, file.c_str());
    else {
        std::vector<uint8_t> bytes;
        SMonoImage image;
        m_impl->selected = nullptr;
        return ReadWholeFile(file, bytes) && DecodeBmp(bytes.data(), bytes.size(), image) && AddImage(image);
    }
    return m_impl->selected != nullptr;
}

bool CPdfWriter::AddImage(const SMonoImage& image)
{
    m_impl->selected = nullptr;
    if (!IsOk() || image.width <= 0 || image.height <= 0)
        return false;
    m_impl->selected = HPDF_LoadRawImageFromMem(m_impl->doc, image.bits.data(), static_cast<HPDF_UINT>(image.width),
                                                static_cast<HPDF_UINT>(image.height), HPDF_CS_DEVICE_GRAY, 1);
    return m_impl->selected != nullptr;
}

void CPdfWriter::DrawImage(double left, double top, double width, double height)
{
    if (m_impl->page && m_impl->selected)
        HPDF_Page_DrawImage(m_impl->page, m_impl->selected, static_cast<HPDF_REAL>(left),
                            static_cast<HPDF_REAL>(top - height), static_cast<HPDF_REAL>(width),
                            static_cast<HPDF_REAL>(height));
}

void CPdfWriter::DrawText(double left, double top, const wxString& text)
{
    if (!IsOk() || text.empty())
        return;
    const std::string bytes = m_impl->TextBytes(text);
    HPDF_Page_BeginText(m_impl->page);
    HPDF_Page_SetFontAndSize(m_impl->page, m_impl->font, static_cast<HPDF_REAL>(m_impl->textSize));
    // The baseline sits one text size below the upper edge, leaving room for descenders.
    HPDF_Page_TextOut(m_impl->page, static_cast<HPDF_REAL>(left), static_cast<HPDF_REAL>(top - m_impl->textSize),
                      bytes.c_str());
    HPDF_Page_EndText(m_impl->page);
}

double CPdfWriter::TextWidth(const wxString& text) const
{
    if (!IsOk() || text.empty())
        return 0;
    HPDF_Page_SetFontAndSize(m_impl->page, m_impl->font, static_cast<HPDF_REAL>(m_impl->textSize));
    return HPDF_Page_TextWidth(m_impl->page, m_impl->TextBytes(text).c_str());
}

void CPdfWriter::NewPage()
{
    if (m_impl->doc)
        m_impl->StartPage();
}

int CPdfWriter::GetPageCount() const
{
    return m_impl->pages;
}

bool CPdfWriter::SaveToFile(const wxString& path)
{
    if (!IsOk())
        return false;
    // Written beside the target first, so a failed write never spoils an existing file.
    const wxString temporary = path + ".part";
    const int errorsBefore = m_impl->errors;
    const HPDF_STATUS status = HPDF_SaveToFile(m_impl->doc, std::string(temporary.fn_str()).c_str());
    if (status != HPDF_OK || m_impl->errors != errorsBefore) {
        wxLogNull quiet;  // the failure is the caller's to report; a part file may not even exist
        wxRemoveFile(temporary);
        return false;
    }
    return wxRenameFile(temporary, path, true);
}
