// EDIT: a free-text setting in a single-line edit. The other edit-style controls
// build on it: they share the widget, the commit points and the refresh.
#pragma once

#include "ControlBase.h"

class wxCommandEvent;
class wxFocusEvent;
class wxTextCtrl;

class CEditControl : public CControlBase {
public:
    ~CEditControl() override;
    bool Create() override;
    void Refresh(int mode) override;

protected:
    // Style bits of the edit widget.
    virtual long EditStyle() const;
    virtual wxString HintText() const;
    // Extra widgets and event filters of a derived edit, made after the edit itself.
    virtual void CreateExtras() {}
    // Hands what the field holds to the setting; the base commits it unchanged.
    virtual void CommitEdit();
    // Shows `text` in the field without committing it.
    virtual void ShowValue(const wxString& text);

    wxTextCtrl* GetEdit() const;
    // Commits `text` unless the setting already holds it, so that leaving a field
    // untouched sends nothing to the scanner.
    void CommitText(const wxString& text);

private:
    void LimitLength(wxTextCtrl& edit) const;
    void OnEnter(wxCommandEvent& event);
    void OnKillFocus(wxFocusEvent& event);
};
