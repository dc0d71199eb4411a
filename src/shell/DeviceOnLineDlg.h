// The page of connected scanners: their pictures with port and serial number, the
// system text of the chosen one, and the buttons that list them again, configure one
// or upgrade its firmware. The scanners known from the last search show at once; a new
// search runs in the background and replaces them when it is done.
#pragma once

#include "UI/gui/WindowJobs.h"

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>
#include <thread>
#include <vector>

struct DeviceEntry;

class CDeviceOnLineDlg : public CHarbrekBaseDlg {
public:
    explicit CDeviceOnLineDlg(wxWindow* parent);
    ~CDeviceOnLineDlg() override;

    void ApplyUiTexts() override;

    // Starts a search of all ports in the background, unless one runs: the catalogue
    // once, every port at once, a model for every scanner; scanners without one are
    // left out. The list is replaced when the search is done.
    void RefreshDevices();
    bool IsRefreshing() const { return m_search != nullptr; }

    // The scanners shown, in list order; they belong to the link manager.
    const std::vector<DeviceEntry*>& GetEntries() const { return m_entries; }
    DeviceEntry* GetSelectedEntry() const;
    // Selects the scanner at `index` as a click does; -1 clears the selection.
    void SelectEntry(int index);

    wxListCtrl* GetDeviceList() const { return m_lstDevices; }
    wxTextCtrl* GetInfoBox() const { return m_txtInfo; }
    wxButton* GetConfigureButton() const { return m_btnCfg; }
    wxButton* GetUpgradeButton() const { return m_btnUpgrade; }
    wxButton* GetRefreshButton() const { return m_btnRefresh; }
    // What the page says above the list: searching, or no scanner and why that may be.
    wxStaticText* GetStateNote() const { return m_txtState; }

private:
    struct SSearch;  // shared with the search's thread
    void CreateControls();
    // The scanners of the link's list that have a model.
    void ShowKnownEntries();
    void OnSearchDone();
    void ShowState();
    void ClearSelection();
    void ShowEntries();
    void ShowSelection();
    void ConfigureEntry(DeviceEntry* entry);
    void UpgradeEntry(DeviceEntry* entry);
    // The single-upgrade window runs here while the scanner is open.
    void RunSingleUpgrade(DeviceEntry& entry);

    wxStaticText* m_txtState = nullptr;
    wxListCtrl* m_lstDevices = nullptr;
    wxTextCtrl* m_txtInfo = nullptr;
    wxButton* m_btnRefresh = nullptr;
    wxButton* m_btnCfg = nullptr;
    wxButton* m_btnUpgrade = nullptr;
    std::vector<DeviceEntry*> m_entries;
    std::shared_ptr<SSearch> m_search;  // while a search runs
    CWindowJobs m_jobs;
};
