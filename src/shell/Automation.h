// Switches that let scripts and tests drive the program through the same paths a
// user takes, read from the environment at start:
//   VOSTREL_AUTOCONNECT=<product name>  after start, show the connected-scanner list
//       and connect to the first scanner of that product name, as a double-click does;
//   VOSTREL_AUTOCLOSE_MS=<n>  n milliseconds after start (after the connection, when
//       one was asked for), close the main window as its close box does;
//   VOSTREL_TOUR=<folder>  after start (and the connection), walk every page taking
//       pictures of the screen into the folder, then close (see Tour.h).
// A scanner that is not listed, or a connection that fails (once its message has been
// answered), closes the window and makes the program's exit status 3, so that a
// script notices.
#pragma once

#include <wx/event.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <memory>

class CTour;
class CVostrelDlg;
struct DeviceEntry;

class CAutomation : public wxEvtHandler {
public:
    ~CAutomation() override;
    // Null when neither switch is set.
    static std::unique_ptr<CAutomation> FromEnvironment(CVostrelDlg& window);

    // Runs the steps once the window's event loop has started.
    void Start();
    bool HasFailed() const { return m_failed; }

private:
    CAutomation(CVostrelDlg& window, const wxString& product, long closeMs);
    void RunSteps();
    DeviceEntry* FindListedProduct();
    bool ConnectToProduct();
    void OnCloseTimer(wxTimerEvent& event);

    wxWeakRef<CVostrelDlg> m_window;  // the user may close it first
    wxString m_product;
    long m_closeMs;
    wxTimer m_closeTimer;
    bool m_failed = false;
    wxString m_tourFolder;
    std::unique_ptr<CTour> m_tour;
};
