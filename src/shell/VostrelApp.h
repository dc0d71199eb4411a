// The application object: brings the process up and takes it down.
#pragma once

#include "Mnemonics.h"
#include "StallWatch.h"

#include <wx/app.h>

#include <memory>

class CAutomation;

class CVostrelApp : public wxApp {
public:
    CVostrelApp();
    ~CVostrelApp() override;

    bool OnInit() override;
    int OnRun() override;
    // Detaches the simulated scanners, then deletes the single objects in order.
    int OnExit() override;

    // Exit status when a step asked for through the environment failed.
    static const int kAutomationFailed = 3;

private:
    std::unique_ptr<CAutomation> m_automation;
    std::unique_ptr<CStallWatch> m_stallWatch;  // VOSTREL_STALL_LOG
    std::unique_ptr<CMnemonicManager> m_mnemonics;
};
