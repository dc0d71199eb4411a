#include "DeviceCategory.h"

#include "app/UiText.h"

#include <wx/xml/xml.h>

void CDeviceCategory::ReadFrom(const wxXmlNode& element)
{
    m_name = element.GetAttribute("name");
    m_langID = element.GetAttribute("langID");
    m_icon = CDeviceInfo::ImagePath(element.GetAttribute("icon"));
    m_key = element.GetAttribute("key");

    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE || child->GetName() != "Device")
            continue;
        auto device = std::make_unique<CDeviceInfo>();
        if (!device->ReadFrom(*child))
            continue;
        const wxString key = device->m_key;
        m_devices.emplace(key, std::move(device));  // an equal key already there is kept
    }

    m_iconImage = CPictureFile::Load(m_icon);
    m_name = GetUiText(m_langID, m_name);
}

CDeviceInfo* CDeviceCategory::FindByProductName(const wxString& productName)
{
    CDeviceInfo* best = nullptr;
    for (auto& [key, device] : m_devices) {
        if (!device->Matches(productName, false))
            continue;
        if (!best || key.length() > best->m_key.length())
            best = device.get();
    }
    return best;
}

void CDeviceCategory::Search(const wxString& text, DeviceSearchResult& result) const
{
    const wxString wanted = text.Upper();
    for (const auto& [key, device] : m_devices) {
        if (key.Upper().Find(wanted) != wxNOT_FOUND)
            result[key] = device.get();
    }
}

CDeviceInfo* CDeviceCategory::GetFirstDevice() const
{
    return m_devices.empty() ? nullptr : m_devices.begin()->second.get();
}
