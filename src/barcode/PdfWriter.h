// A PDF document written with libharu, offering the operations the sheet export
// places its lines and pictures with. Units are PDF points; `top` is measured from
// the bottom of the page, as PDF does, and is the upper edge of what is drawn.
#pragma once

#include "BmpImage.h"

#include <wx/string.h>

#include <memory>

// What the sheet layout draws on; the PDF writer is one, tests record the calls.
class IPdfTarget {
public:
    virtual ~IPdfTarget() = default;
    virtual void SetTextSize(double size) = 0;
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    // Adds a picture and selects it for DrawImage; false when it cannot be used.
    virtual bool AddImage(const SMonoImage& image) = 0;
    virtual void DrawImage(double left, double top, double width, double height) = 0;
    // One line of text in the current size with its upper edge at `top`.
    virtual void DrawText(double left, double top, const wxString& text) = 0;
    virtual double TextWidth(const wxString& text) const = 0;
    virtual void NewPage() = 0;
};

class CPdfWriter : public IPdfTarget {
public:
    // A document with one empty A4 page.
    CPdfWriter();
    ~CPdfWriter() override;
    CPdfWriter(const CPdfWriter&) = delete;
    CPdfWriter& operator=(const CPdfWriter&) = delete;

    // False when libharu could not start a document.
    bool IsOk() const;

    void SetTextSize(double size) override;
    int PageWidth() const override;
    int PageHeight() const override;
    // A BMP, PNG or JPEG file; false when it cannot be read.
    bool AddImageFromFile(const wxString& path);
    bool AddImage(const SMonoImage& image) override;
    void DrawImage(double left, double top, double width, double height) override;
    void DrawText(double left, double top, const wxString& text) override;
    double TextWidth(const wxString& text) const override;
    void NewPage() override;
    // False when the file cannot be written; an existing file is then left as it was.
    bool SaveToFile(const wxString& path);
    int GetPageCount() const;

private:
    struct SImpl;
    std::unique_ptr<SImpl> m_impl;
};
