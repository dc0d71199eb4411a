// One data format as a row of the data-format panel: its number, the symbology and
// barcode length it applies to, the terminal, and its rule text with the button that
// opens the rule editor.
#pragma once

#include "dataformat/DataFormatValue.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>
#include <vector>

struct SSymbologyChoice {
    wxString name;
    wxString value;  // the code a unit text carries
};

class CDataFormatUnitDlg : public wxPanel {
public:
    using ChangeHandler = std::function<void(CDataFormatUnitDlg*)>;
    // Column widths of the row, for the caption row above.
    static const int kColumns[4];

    // `numbers` are the format numbers the type choice offers; `limit` the panel's
    // length limit (the whole unit text, 0: none).
    CDataFormatUnitDlg(wxWindow* parent, const std::vector<int>& numbers,
                       const std::vector<SSymbologyChoice>& symbologies, long limit, ChangeHandler onChange);

    // Back to an empty format: length 9999, the first symbology, no rules.
    void Clear();
    // Reads a unit text (the "DFMADD" form with `numbered` gives the number as well);
    // false leaves the row as it was.
    bool Load(const std::string& text, bool numbered);
    SDataFormatUnit GetUnit() const;
    wxString GetRules() const { return m_rules; }
    void SetNumber(int number);

    // The user finished typing a rule text (or the editor returned one): checked,
    // then taken or refused with the previous text put back. True when taken.
    bool CommitRules(const wxString& text);
    // Opens the rule editor on the rule text.
    void OpenEditor();
    wxTextCtrl* GetRuleBox() const { return m_ruleBox; }
    wxChoice* GetSymbologyChoice() const { return m_symbology; }
    wxChoice* GetTypeChoice() const { return m_type; }

private:
    void CommitLength();
    void Changed();
    std::vector<wxString> PreviewSymbologies() const;
    void SelectSymbology(const std::string& code);
    void ForgetKeptSymbology();

    const std::vector<SSymbologyChoice>& m_symbologies;
    long m_limit = 0;
    ChangeHandler m_onChange;
    int m_number = 0;
    int m_length = 9999;
    wxString m_rules;
    wxString m_previousRules;
    bool m_checking = false;
    std::string m_keptSymbology;  // a code the symbology list does not have

    wxChoice* m_type = nullptr;
    wxChoice* m_symbology = nullptr;
    wxTextCtrl* m_lengthBox = nullptr;
    wxChoice* m_terminal = nullptr;
    wxTextCtrl* m_ruleBox = nullptr;
    wxButton* m_editor = nullptr;
};
