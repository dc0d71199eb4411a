// Keyboard mnemonics in control labels: "&Write" underlines W and Alt+W presses the
// button; labels written without Latin letters carry theirs as "写入设备(&W)".
// A label's "&" belongs on the control only: texts shown as messages, titles or
// tooltips, logged or written to files lose it.
#pragma once

#include <wx/string.h>

#include <set>

// `label` as plain text: "(&W)" suffixes go, "&W" becomes "W". A doubled "&&" stays as it
// is, so a message such as "apt update && apt install" keeps its words.
wxString StripMnemonic(const wxString& label);

// The lower-case letter or digit marked by a single "&" in `label`, or 0 without one.
wxChar MnemonicOf(const wxString& label);

// `label` with a mnemonic none of `taken` holds (its lower-case letter is added to
// `taken`). Its own "&" stays when that letter is free; otherwise the first free
// initial of a word, then any free letter of the label; a label without a free Latin
// letter of its own gets "(&X)" before any trailing colon or ellipsis. Returns the
// plain label when all 36 letters and digits are taken.
wxString WithMnemonic(const wxString& label, std::set<wxChar>& taken);
