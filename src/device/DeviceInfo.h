// The catalogue record of one scanner model: its names, the files that describe it
// and the picture shown for it.
#pragma once

#include "PictureFile.h"

#include <wx/string.h>

#include <cstdint>
#include <memory>

class wxXmlNode;

class CDeviceInfo {
public:
    CDeviceInfo() = default;
    virtual ~CDeviceInfo() = default;
    CDeviceInfo(const CDeviceInfo&) = delete;
    CDeviceInfo& operator=(const CDeviceInfo&) = delete;

    // Reads a `Device` element. False when it has no key: such a record is not kept.
    bool ReadFrom(const wxXmlNode& element);

    // True when a scanner reporting `productName` is this model. A match through the
    // "HBS" prefix rule records the product name as matchName.
    bool Matches(const wxChar* productName, bool allowReverse);
    bool Matches(const wxString& productName, bool allowReverse) { return Matches(productName.wc_str(), allowReverse); }

    // Copies every field of `model`; an unknown device shows the unknown-device picture.
    void CopyFrom(const CDeviceInfo& model, bool unknown);

    // Loads the picture from its path; a missing picture is only logged.
    void LoadPicture();

    // The "Images" path of a picture file name.
    static wxString ImagePath(const wxString& fileName);

    wxString m_langID;
    wxString m_picture;
    int32_t m_barcodeKind = 1;
    wxString m_link;
    wxString m_ctrllink;
    wxString m_lua;
    std::unique_ptr<CPictureFile> m_pictureImage;
    wxString m_setupCommand = "SETUPE";
    int32_t m_barcodeFlags = 1;
    wxString m_name;
    wxString m_matchName;
    wxString m_key;
};
