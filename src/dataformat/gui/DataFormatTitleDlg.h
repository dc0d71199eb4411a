// The caption row above the data-format units: type, symbology, length, rules.
#pragma once

#include <wx/panel.h>

class CDataFormatTitleDlg : public wxPanel {
public:
    // `columns` are the widths of the unit row's columns, so the captions stand above them.
    CDataFormatTitleDlg(wxWindow* parent, const int (&columns)[4]);
};
