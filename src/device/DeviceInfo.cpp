#include "DeviceInfo.h"

#include "app/AppContext.h"
#include "app/Log.h"

#include <wx/xml/xml.h>

#include <cwchar>

namespace {

wxString StripPrefixes(wxString name)
{
    name.Replace("HBS-", wxEmptyString);
    name.Replace("HBS", wxEmptyString);
    return name;
}

}  // namespace

wxString CDeviceInfo::ImagePath(const wxString& fileName)
{
    return CAppContext::GetInstance().GetFilePath("Images", fileName);
}

bool CDeviceInfo::ReadFrom(const wxXmlNode& element)
{
    m_name = element.GetAttribute("name");
    m_langID = element.GetAttribute("langID");
    m_key = element.GetAttribute("key");
    const wxString barcode = element.GetAttribute("barcode", "1");
    m_link = element.GetAttribute("link");
    m_lua = element.GetAttribute("lua");
    m_ctrllink = element.GetAttribute("ctrllink");
    m_setupCommand = element.GetAttribute("SET", "SETUPE");

    // Like the C library's atoi: leading digits count, anything else reads as 0.
    const long flags = std::wcstol(barcode.wc_str(), nullptr, 10);
    m_barcodeFlags = static_cast<int32_t>(flags);
    m_barcodeKind = m_barcodeFlags & 0xF;
    m_matchName = m_key;
    m_picture = ImagePath(element.GetAttribute("filename"));

    if (m_key.empty())
        return false;
    LoadPicture();
    return true;
}

void CDeviceInfo::LoadPicture()
{
    m_pictureImage = CPictureFile::Load(m_picture);
    if (!m_pictureImage)
        VLOG(LOG_WARNING, "%s", U8(m_picture));
}

bool CDeviceInfo::Matches(const wxChar* productName, bool allowReverse)
{
    if (!productName)
        return false;
    const wxString product(productName);
    if (m_key == product)
        return true;
    const wxString k = StripPrefixes(m_key);
    const wxString p = StripPrefixes(product);
    if (p.Find(k) != wxNOT_FOUND) {
        m_matchName = product;
        return true;
    }
    return allowReverse && k.Find(product) != wxNOT_FOUND;
}

void CDeviceInfo::CopyFrom(const CDeviceInfo& model, bool unknown)
{
    m_langID = model.m_langID;
    m_picture = unknown ? ImagePath("unknowndevice.png") : model.m_picture;
    m_barcodeKind = model.m_barcodeKind;
    m_link = model.m_link;
    m_ctrllink = model.m_ctrllink;
    m_lua = model.m_lua;
    m_setupCommand = model.m_setupCommand;
    m_barcodeFlags = model.m_barcodeFlags;
    m_name = model.m_name;
    m_matchName = model.m_matchName;
    m_key = model.m_key;
    m_pictureImage.reset();
    if (!m_picture.empty())
        LoadPicture();
}
