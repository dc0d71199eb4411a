// Copyright (c) 2026 The Vostrel developers. MIT licence.
//
// Written here rather than taken from wxStripMenuCodes: that one lives in the window
// library, which the core may not use, and it keeps the "(&W)" of Chinese labels.
#include "MnemonicText.h"

#include <wx/regex.h>

namespace {

bool IsMnemonicChar(wxChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

wxChar Lower(wxChar c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<wxChar>(c - 'A' + 'a') : c;
}

// Index of the single "&" that marks a mnemonic, or wxString::npos.
size_t MarkerIndex(const wxString& label)
{
    for (size_t i = 0; i + 1 < label.length(); ++i) {
        if (label[i] != '&')
            continue;
        if (label[i + 1] == '&') {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        if (IsMnemonicChar(label[i + 1]))
            return i;
    }
    return wxString::npos;
}

// "(&W)" or the full-width "（&W）" at the end of a label, before any trailing colon or
// ellipsis; wxString::npos when there is none.
size_t SuffixIndex(const wxString& label, size_t* length)
{
    static const wxRegEx suffix(wxS("[(\uFF08]&[A-Za-z0-9][)\uFF09]"), wxRE_ADVANCED);
    if (!suffix.Matches(label))
        return wxString::npos;
    size_t start = 0;
    suffix.GetMatch(&start, length);
    return start;
}

// Where "(&X)" goes: before a trailing ":", "：", "..." or "…", so that "名称:" reads "名称(&A):".
size_t SuffixPosition(const wxString& label)
{
    size_t end = label.length();
    while (end > 0 && (label[end - 1] == ':' || label[end - 1] == 0xFF1A || label[end - 1] == '.' ||
                       label[end - 1] == 0x2026 || label[end - 1] == ' '))
        --end;
    return end;
}

// The label's own letters in order of preference: word initials first, then the rest.
std::vector<size_t> CandidateIndexes(const wxString& plain)
{
    std::vector<size_t> initials, others;
    for (size_t i = 0; i < plain.length(); ++i) {
        if (!IsMnemonicChar(plain[i]))
            continue;
        const bool startsWord = i == 0 || !IsMnemonicChar(plain[i - 1]);
        (startsWord ? initials : others).push_back(i);
    }
    initials.insert(initials.end(), others.begin(), others.end());
    return initials;
}

wxString EscapeAmpersands(const wxString& plain)
{
    wxString escaped(plain);
    escaped.Replace("&", "&&");
    return escaped;
}

}  // namespace

wxString StripMnemonic(const wxString& label)
{
    wxString plain(label);
    size_t length = 0;
    const size_t suffix = SuffixIndex(plain, &length);
    if (suffix != wxString::npos)
        return plain.erase(suffix, length);
    const size_t marker = MarkerIndex(plain);
    if (marker != wxString::npos)
        plain.erase(marker, 1);
    return plain;
}

wxChar MnemonicOf(const wxString& label)
{
    const size_t marker = MarkerIndex(label);
    return marker == wxString::npos ? 0 : Lower(label[marker + 1]);
}

wxString WithMnemonic(const wxString& label, std::set<wxChar>& taken)
{
    const wxChar own = MnemonicOf(label);
    if (own != 0 && taken.insert(own).second)
        return label;

    // Labels reach the control with "&&" for a literal ampersand; the choice is made
    // on the text as shown and the ampersands doubled again on the way out.
    wxString shown = StripMnemonic(label);
    shown.Replace("&&", "&");
    for (size_t index : CandidateIndexes(shown)) {
        if (taken.insert(Lower(shown[index])).second)
            return EscapeAmpersands(shown.substr(0, index)) + "&" + EscapeAmpersands(shown.substr(index));
    }
    if (!CandidateIndexes(shown).empty())
        return EscapeAmpersands(shown);  // Latin letters of its own, all taken: none borrowed
    for (const wxChar c : wxString("abcdefghijklmnopqrstuvwxyz0123456789")) {
        if (taken.insert(c).second) {
            const size_t at = SuffixPosition(shown);
            return EscapeAmpersands(shown.substr(0, at)) + "(&" + wxString(c).Upper() + ")" +
                   EscapeAmpersands(shown.substr(at));
        }
    }
    return EscapeAmpersands(shown);
}
