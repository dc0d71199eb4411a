// RANGEEDIT: a number within the setting's limits, typed as digits. The cut-area and
// exposure settings are also kept in order against their partner setting.
#pragma once

#include "EditControl.h"
#include "regCtrl/rules/EditRangeRules.h"

class wxKeyEvent;

class CEditRangeControl : public CEditControl {
protected:
    void CreateExtras() override;
    void CommitEdit() override;

private:
    SRangeLimits Limits() const;
    void OnChar(wxKeyEvent& event);
    // Typed or pasted text is put right at once: digits only, at most the maximum.
    void OnTextChanged(wxCommandEvent& event);
    void ReportPairViolation(const SRangePartner& partner);
    void ShowAndCommit(const wxString& text);
    wxString PartnerCaption(const SRangePartner& partner) const;
};
