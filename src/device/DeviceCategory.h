// A group of catalogue models (a product family) with its icon.
#pragma once

#include "DeviceInfo.h"

#include <wx/string.h>

#include <map>
#include <memory>

class wxXmlNode;

// Models keyed by the name scanners report; keys compare case-sensitively.
using DeviceInfoMap = std::map<wxString, std::unique_ptr<CDeviceInfo>>;
// Search results point into the catalogue and stay valid until it is reloaded.
using DeviceSearchResult = std::map<wxString, CDeviceInfo*>;

class CDeviceCategory {
public:
    CDeviceCategory() = default;
    virtual ~CDeviceCategory() = default;
    CDeviceCategory(const CDeviceCategory&) = delete;
    CDeviceCategory& operator=(const CDeviceCategory&) = delete;

    // Reads a `Category` element with its `Device` children.
    void ReadFrom(const wxXmlNode& element);

    // The model a scanner reporting `productName` is, preferring the longest key.
    CDeviceInfo* FindByProductName(const wxString& productName);
    // Adds every model whose key contains `text`, ignoring case.
    void Search(const wxString& text, DeviceSearchResult& result) const;

    // The first model in key order, or null for an empty category.
    CDeviceInfo* GetFirstDevice() const;

    const DeviceInfoMap& GetDevices() const { return m_devices; }

    wxString m_name;
    wxString m_langID;
    wxString m_icon;
    wxString m_key;
    std::unique_ptr<CPictureFile> m_iconImage;

private:
    DeviceInfoMap m_devices;
};
