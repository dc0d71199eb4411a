#include "DeviceMnt.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

std::unique_ptr<CDeviceMnt> CDeviceMnt::s_instance;

CDeviceMnt& CDeviceMnt::GetInstance()
{
    if (!s_instance)
        s_instance.reset(new CDeviceMnt());
    return *s_instance;
}

void CDeviceMnt::ResetInstance()
{
    s_instance.reset();
}

wxString CDeviceMnt::GetFilePath()
{
    return CAppContext::GetInstance().GetFilePath("Config", "devicesinfo.xml");
}

void CDeviceMnt::EnsureLoaded()
{
    if (!m_loaded)
        Load();
}

bool CDeviceMnt::Load()
{
    // A failed load is not remembered: the next use tries the file again.
    m_loaded = false;
    m_categories.clear();

    wxXmlDocument document;
    if (!LoadXmlFile(document, GetFilePath(), "Devices", "DeviceMnt.cpp"))
        return false;
    const wxXmlNode* root = document.GetRoot();
    if (!root->GetChildren()) {
        logout_line(LOG_ERROR, "DeviceMnt.cpp", __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }

    for (const wxXmlNode* child = root->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE || child->GetName() != "Category")
            continue;
        auto category = std::make_unique<CDeviceCategory>();
        category->ReadFrom(*child);
        m_categories.push_back(std::move(category));
    }
    m_loaded = true;
    return true;
}

std::unique_ptr<CDeviceInfo> CDeviceMnt::MatchDevice(const wxString& productName)
{
    const CDeviceInfo* model = nullptr;
    bool unknown = false;
    for (const auto& category : m_categories) {
        model = category->FindByProductName(productName);
        if (model)
            break;
    }
    if (!model) {
        for (const auto& category : m_categories) {
            model = category->GetFirstDevice();
            if (model)
                break;
        }
        unknown = true;
    }
    if (!model)
        return nullptr;

    auto device = std::make_unique<CDeviceInfo>();
    device->CopyFrom(*model, unknown);
    device->m_name = productName;
    device->m_key = productName;
    device->m_matchName = productName;
    return device;
}
