// The control of one setting: a row of caption, editing widget and hint. A control
// never holds the value; it shows the fields of its command definition and reports
// every user change through the definition's SetValue.
#pragma once

#include "model/ControlFactory.h"

#include <wx/stattext.h>
#include <wx/string.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <cstdint>

class CCmdNameXmlInfo;
class CGroupNameXmlInfo;

// A setting's hover text: caption, default and range, then the command name.
wxString SettingTooltip(const CCmdNameXmlInfo& setting);

class CControlBase {
public:
    CControlBase() = default;
    virtual ~CControlBase();
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;

    virtual bool Show(bool show);
    // Places the row's widgets in three columns: caption, widget, hint.
    virtual void Layout();
    // Makes the row tall enough for its value widget where the desktop's widgets
    // need more than the model gives.
    void FitRowToWidgets();
    // Controls that embed a whole panel start or refresh their work here.
    virtual bool OnPageShow();
    virtual bool OnPageHide();
    // Mode 0: after a device read, 1: after a reset to default, 2: after loading a file.
    virtual void Refresh(int mode);
    // Makes the widgets. The base gives an unknown keyword a row with caption and hint.
    virtual bool Create();
    virtual bool SetupTooltips();
    virtual wxWindow* GetValueWnd() const;
    virtual void SetFocus();

    // The page window that hosts the row. Windows are weak references because the
    // page may be destroyed before the definitions that own the controls.
    wxWeakRef<wxWindow> ParentWnd;
    wxWeakRef<wxWindow> ValueWnd;
    wxString ControlType;
    SControlRect Rect;
    int32_t OffsetY = 0;
    CCmdNameXmlInfo* Command = nullptr;   // not owned: the definition owns the control
    CGroupNameXmlInfo* Group = nullptr;   // not owned
    wxWeakRef<wxStaticText> CaptionStatic;
    wxWeakRef<wxStaticText> HintStatic;
    int32_t Height = 30;

protected:
    // The row's rectangle on the page now: as wide as the page, as tall as Height.
    SControlRect RowRect();
    // Column width of the three-column row.
    static int32_t ColumnWidth(const SControlRect& row);
    void CreateCaption();
    // No widget is made for an empty text.
    void CreateHint(const wxString& text);
    // Widgets take the page's font, so a page shows one font throughout.
    void ApplyPageFont(wxWindow* window) const;
    // The value a refresh of `mode` shows, or false for a mode that shows nothing.
    bool ValueForMode(int mode, wxString& value) const;
    void ShowTextInValueWnd(const wxString& text);
    static void PlaceWidget(wxWindow* window, int32_t left, int32_t top, int32_t right, int32_t bottom);

private:
    int32_t ValueWidgetHeight(const SControlRect& row) const;
    int32_t ValueWidgetRight(const SControlRect& row) const;
    void ShowCutLabelsInTooltips();
    static void DestroyWidget(wxWindow* window);
};
