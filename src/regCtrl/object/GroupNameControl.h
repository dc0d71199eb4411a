// GROUPNAME: the caption of a group of settings, which opens and closes its group.
#pragma once

#include "ControlBase.h"

class CGroupCaptionPanel;

class CGroupNameControl : public CControlBase {
public:
    bool Create() override;
    // The caption spans the whole row.
    void Layout() override;

    // A page's only group stays open: closing it would leave the page empty.
    void SetManyGroups(bool manyGroups);

private:
    // Opens a closed group and closes an open one; the page lays itself out again.
    void ToggleGroup();
    CGroupCaptionPanel* GetCaptionPanel() const;
    wxString GroupCaption() const;

    bool m_manyGroups = true;
};
