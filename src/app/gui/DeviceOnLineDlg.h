// The page of connected scanners: their pictures, the system text of the chosen one,
// and the buttons that list them again, configure one or upgrade its firmware.
#pragma once

#include "HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <vector>

struct DeviceEntry;

class CDeviceOnLineDlg : public CHarbrekBaseDlg {
public:
    explicit CDeviceOnLineDlg(wxWindow* parent);

    void ApplyUiTexts() override;

    // Lists the scanners anew under the wait window: the catalogue once, enumeration,
    // a model for every scanner; scanners without one are left out.
    void RefreshDevices();

    // The scanners shown, in list order; they belong to the link manager.
    const std::vector<DeviceEntry*>& GetEntries() const { return m_entries; }
    DeviceEntry* GetSelectedEntry() const;
    // Selects the scanner at `index` as a click does; -1 clears the selection.
    void SelectEntry(int index);

    wxListCtrl* GetDeviceList() const { return m_lstDevices; }
    wxTextCtrl* GetInfoBox() const { return m_txtInfo; }
    wxButton* GetConfigureButton() const { return m_btnCfg; }
    wxButton* GetUpgradeButton() const { return m_btnUpgrade; }

private:
    void CreateControls();
    void ClearSelection();
    void ShowEntries();
    void ShowSelection();
    void ConfigureEntry(DeviceEntry* entry);
    void UpgradeEntry(DeviceEntry* entry);
    // The single-upgrade window runs here while the scanner is open.
    void RunSingleUpgrade(DeviceEntry& entry);

    wxListCtrl* m_lstDevices = nullptr;
    wxTextCtrl* m_txtInfo = nullptr;
    wxButton* m_btnRefresh = nullptr;
    wxButton* m_btnCfg = nullptr;
    wxButton* m_btnUpgrade = nullptr;
    std::vector<DeviceEntry*> m_entries;
};
