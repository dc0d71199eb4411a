#include "Automation.h"

#include "DeviceOnLineDlg.h"
#include "MainWindowEvents.h"
#include "Tour.h"
#include "VostrelDlg.h"
#include "app/Log.h"
#include "device/DeviceEntry.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <memory>

std::unique_ptr<CAutomation> CAutomation::FromEnvironment(CVostrelDlg& window)
{
    wxString product;
    wxString closeText;
    wxGetEnv("VOSTREL_AUTOCONNECT", &product);
    wxGetEnv("VOSTREL_AUTOCLOSE_MS", &closeText);
    wxString tourFolder;
    wxGetEnv("VOSTREL_TOUR", &tourFolder);
    long closeMs = -1;
    if (!closeText.empty() && (!closeText.ToLong(&closeMs) || closeMs < 0)) {
        VLOG(LOG_ERROR, "VOSTREL_AUTOCLOSE_MS=%s is not a number of milliseconds", U8(closeText));
        closeMs = -1;
    }
    if (product.empty() && closeMs < 0 && tourFolder.empty())
        return nullptr;
    auto automation = std::unique_ptr<CAutomation>(new CAutomation(window, product, closeMs));
    automation->m_tourFolder = tourFolder;
    return automation;
}

CAutomation::CAutomation(CVostrelDlg& window, const wxString& product, long closeMs)
    : m_window(&window), m_product(product), m_closeMs(closeMs), m_closeTimer(this)
{
    Bind(wxEVT_TIMER, &CAutomation::OnCloseTimer, this);
}

CAutomation::~CAutomation() = default;

void CAutomation::Start()
{
    m_window->CallAfter([this] { RunSteps(); });
}

void CAutomation::RunSteps()
{
    if (!m_window)
        return;
    if (!m_product.empty() && !ConnectToProduct()) {
        m_failed = true;
        if (m_window)
            m_window->Close();
        return;
    }
    if (!m_tourFolder.empty()) {
        m_tour = std::make_unique<CTour>(*m_window, m_tourFolder);
        m_tour->Start();
        return;
    }
    if (m_closeMs >= 0)
        m_closeTimer.StartOnce(static_cast<int>(m_closeMs));
}

// The first scanner of the product in the connected-scanner list, entered as a
// click in the navigation bar enters it; null when there is none.
DeviceEntry* CAutomation::FindListedProduct()
{
    m_window->SelectItem(CVostrelDlg::ITEM_ONLINE);
    const CDeviceOnLineDlg* list = m_window ? m_window->GetOnlinePage() : nullptr;
    if (!list)
        return nullptr;
    // The list searches the ports in the background; its answer comes as an event.
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop && m_window && list->IsRefreshing()) {
        loop->DispatchTimeout(100);
        wxTheApp->ProcessPendingEvents();
    }
    if (!m_window)
        return nullptr;
    for (DeviceEntry* entry : list->GetEntries()) {
        if (entry->productName == m_product)
            return entry;
    }
    return nullptr;
}

// The list and the connection run their own wait windows; the navigate request is
// handled here and now, so that nothing else happens in between.
bool CAutomation::ConnectToProduct()
{
    DeviceEntry* chosen = FindListedProduct();
    if (!chosen) {
        VLOG(LOG_ERROR, "automation: no scanner %s is listed", U8(m_product));
        return false;
    }
    wxCommandEvent navigate(EVT_VOSTREL_NAVIGATE);
    navigate.SetInt(NAVIGATE_CONNECT);
    navigate.SetClientData(chosen);
    m_window->GetEventHandler()->ProcessEvent(navigate);
    if (!m_window || m_window->GetMode() != CVostrelDlg::MODE_CONFIG_ONLINE) {
        VLOG(LOG_ERROR, "automation: connecting to %s failed", U8(m_product));
        return false;
    }
    VLOG(LOG_INFO, "automation: connected to %s", U8(m_product));
    return true;
}

void CAutomation::OnCloseTimer(wxTimerEvent&)
{
    if (!m_window)
        return;
    VLOG(LOG_INFO, "automation: closing the main window");
    m_window->Close();
}
