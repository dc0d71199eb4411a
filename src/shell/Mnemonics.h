// Copyright (c) 2026 The Vostrel developers. MIT licence.
//
// Alt+letter for every button, check box and labelled field, without each window
// having to remember it: letters are handed out per top-level window whenever one of
// its controls appears or it is shown.
#pragma once

#include <wx/eventfilter.h>

class wxWindow;

// Gives every shown button, check box, radio button and field label of `window`'s
// top-level window a mnemonic of its own (see WithMnemonic). A label's own "&" (from
// the text table) is kept when its letter is free. A static text names the input
// field that follows it in its sizer: Alt+its letter moves the focus there.
void AssignMnemonics(wxWindow* window);

// Assigns the mnemonics of `window`'s top-level window once the events now queued
// have run, however often it is asked meanwhile.
void AssignMnemonicsSoon(wxWindow* window);

// While it lives, watches the whole program: a window being shown, or a control
// being made, asks for AssignMnemonicsSoon of its top-level window.
class CMnemonicManager : public wxEventFilter {
public:
    CMnemonicManager();
    ~CMnemonicManager() override;
    CMnemonicManager(const CMnemonicManager&) = delete;
    CMnemonicManager& operator=(const CMnemonicManager&) = delete;

    int FilterEvent(wxEvent& event) override;
};
