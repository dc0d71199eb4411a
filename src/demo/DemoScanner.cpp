#include "DemoScanner.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "device/DeviceMnt.h"
#include "simulator/SimulatorAttach.h"

#include <wx/filename.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

namespace {

const CDeviceInfo* FindCatalogueModel(const wxString& name)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
        for (const auto& [key, device] : category->GetDevices()) {
            if (key.CmpNoCase(name) == 0 || device->m_link.CmpNoCase(name) == 0 ||
                device->m_link.CmpNoCase(name + ".xml") == 0)
                return device.get();
        }
    }
    return nullptr;
}

wxString ResolveModelFile(const wxString& name, const CDeviceInfo* model)
{
    if (wxFileName::FileExists(name))
        return name;
    const CAppContext& context = CAppContext::GetInstance();
    for (const wxString& file : {model ? model->m_link : wxString(), name, name + ".xml"}) {
        if (!file.empty() && wxFileName::FileExists(context.GetFilePath("Config", file)))
            return context.GetFilePath("Config", file);
    }
    return wxString();
}

}  // namespace

uint32_t AttachDemoScanner(const wxString& model, const wxString& productName, uint32_t baudRate, wxString& error)
{
    const CDeviceInfo* record = FindCatalogueModel(model);
    const wxString path = ResolveModelFile(model, record);
    if (path.empty()) {
        error = "no model \"" + model + "\" in the catalogue and no such command file";
        return 0;
    }
    wxString product = productName;
    if (product.empty() && record)
        product = record->m_key;
    std::string reason;
    const uint32_t port = AttachSimulatedScanner(std::string(path.utf8_str()), std::string(product.utf8_str()),
                                                 &reason, baudRate ? baudRate : kDemoBaudRate);
    if (port == 0)
        error = "cannot start the simulated scanner: " + wxString::FromUTF8(reason);
    return port;
}

int AttachDemoScannersFromEnvironment()
{
    wxString models;
    if (!wxGetEnv("VOSTREL_SIMULATED_SCANNER", &models))
        return 0;
    int attached = 0;
    wxStringTokenizer tokens(models, ",");
    while (tokens.HasMoreTokens()) {
        const wxString model = tokens.GetNextToken().Trim().Trim(false);
        if (model.empty())
            continue;
        wxString error;
        if (AttachDemoScanner(model, wxString(), 0, error) != 0)
            ++attached;
        else
            VLOG(LOG_ERROR, "simulated scanner %s: %s", U8(model), U8(error));
    }
    return attached;
}

void DetachDemoScanner(uint32_t port)
{
    DetachSimulatedScanner(port);
}

void DetachAllDemoScanners()
{
    DetachAllSimulatedScanners();
}
