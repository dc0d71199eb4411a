// The rule editor of one data format: the menu of rule kinds by group, the field
// boxes of the chosen kind with its help, the list of rules built so far (add,
// replace, move, delete), the ASCII pad and the key pad for the fields, and a live
// preview of what the scanner sends for a sample read.
#pragma once

#include "dataformat/RuleTable.h"
#include "dataformat/SpecialChars.h"

#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CAsciiPadCtrl;
class CKeyBoardCtrl;
struct SKeyRecord;
class wxBoxSizer;
class wxButton;

class CDataFormatterDlg : public wxDialog {
public:
    // A symbology of the preview's choice: its shown name and the name a "symbology
    // name" rule inserts.
    using Symbologies = std::vector<wxString>;

    // `ruleText` is the format's current rules; `limit` the longest rule text (0: none).
    CDataFormatterDlg(wxWindow* parent, const wxString& ruleText, long limit, const Symbologies& symbologies);

    // The rules of the list, in list order.
    wxString GetRuleText() const;
    // Which rule of `ruleText` is wrong and at which character, for the user; empty
    // when the text is valid.
    static wxString DescribeFault(const wxString& ruleText);
    // Finish: a text that could not be read at opening is replaced only when the user says so.
    void Finish();

    // What a user does, also for tests: choose a rule kind of the menu (add mode),
    // type into a field, press the add/replace button, pick a rule of the list (edit
    // mode), move or delete it, type a sample read.
    bool ChooseRuleKind(const std::string& code);
    void SetFieldText(size_t field, const wxString& text);
    void PressAddOrReplace();
    void PickRule(int index);
    void MoveRule(int step);
    void DeleteRule();
    void SetSample(const wxString& data, int symbology);
    wxString GetPreviewText() const;
    bool IsEditMode() const { return m_editMode; }
    void ShowPad(int pad);  // 0: none, 1: ASCII pad, 2: key pad
    CKeyBoardCtrl* GetKeyPad() const { return m_keyPad; }
    // Null until the ASCII pad was first shown.
    wxWindow* GetAsciiPad() const;
    wxTextCtrl* GetField(size_t field) const { return m_fields.at(field); }

private:
    void CreateControls(const Symbologies& symbologies);
    wxSizer* CreateMenuAndFields();
    wxSizer* CreateRuleList();
    wxSizer* CreatePreview(const Symbologies& symbologies);
    void FillMenu();
    void ShowKind(const SRuleDefinition* definition);
    void SetEditMode(bool edit);
    void RefreshRuleList();
    void UpdatePreview();
    void UpdateButtons();
    void InsertIntoField(const wxString& text);
    void OnKeyPadKey(const SKeyRecord& key, const wxString& code);
    bool IsAsciiPadShown() const;
    // The names character fields hold: the ASCII pad's while it shows, else the key pad's.
    CSpecialChars CurrentNames() const;
    // Rewrites the character fields in the names of the pad now shown, keeping their bytes.
    void RenameFieldTexts(const CSpecialChars& before, const CSpecialChars& after);
    size_t LengthWithout(int skipped) const;

    std::vector<std::string> m_rules;
    const SRuleDefinition* m_definition = nullptr;
    bool m_editMode = false;
    bool m_openedUnreadable = false;  // the rules given at opening could not be read
    long m_limit = 0;
    size_t m_lastField = 0;
    std::vector<std::pair<wxTreeItemId, const SRuleDefinition*>> m_menuItems;

    wxTreeCtrl* m_menu = nullptr;
    std::array<wxStaticText*, 3> m_labels{};
    std::array<wxTextCtrl*, 3> m_fields{};
    wxTextCtrl* m_help = nullptr;
    wxButton* m_addButton = nullptr;
    wxListBox* m_ruleList = nullptr;
    wxButton* m_upButton = nullptr;
    wxButton* m_downButton = nullptr;
    wxButton* m_deleteButton = nullptr;
    wxTextCtrl* m_sample = nullptr;
    wxChoice* m_symbology = nullptr;
    wxTextCtrl* m_preview = nullptr;
    CAsciiPadCtrl* m_asciiPad = nullptr;  // made when first shown
    wxBoxSizer* m_asciiPadRow = nullptr;
    CKeyBoardCtrl* m_keyPad = nullptr;
};
