// EDIT_READONLY: shows a setting's value in an edit the user cannot change.
#pragma once

#include "EditControl.h"

class CEditReadOnlyControl : public CEditControl {
protected:
    long EditStyle() const override;
    // Nothing the field shows came from the user.
    void CommitEdit() override {}
};
