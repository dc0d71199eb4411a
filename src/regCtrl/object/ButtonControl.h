// BUTTON: a button that has the scanner carry out its command, for instance
// restoring the default code identifiers.
#pragma once

#include "ControlBase.h"

#include <functional>

class wxCommandEvent;

class CButtonControl : public CControlBase {
public:
    bool Create() override;

    // Runs `work`, an exchange with the scanner, behind the wait dialog and as the
    // only exchange of the moment.
    static bool RunExchange(const std::function<bool()>& work);
    // Tells the user which commands the scanner did not take; `commandName` is named
    // when the scanner gave no answer at all to list.
    static void ReportFailure(const wxString& commandName);

private:
    void OnClick(wxCommandEvent& event);
};
