// BATCHDATADLG: the stored-data panel embedded in a settings page over the whole row.
#pragma once

#include "ControlBase.h"

class CBatchDataControl : public CControlBase {
public:
    CBatchDataControl() { Height = 100; }

    bool Create() override;
    void Layout() override;
};
