// MULFILESELECT: a list of files (such as OCR templates), kept as a value list whose
// entries are chosen through the file dialog.
#pragma once

#include "MulValueControl.h"

class CMulFileSelectControl : public CMulValueControl {
protected:
    void CreateExtraButtons(wxWindow* panel, wxSizer* buttons) override;

private:
    // IDPATH: the selected file gives way to the path in the field.
    void OnChangePath(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
};
