// Every transferred setting beside the value of a configuration file the user
// chooses (of any model: only the names decide); clone takes the file's values.
#pragma once

#include "CompareBaseDlg.h"

class wxStaticText;

class CCompareXmlDlg : public CCompareBaseDlg {
public:
    explicit CCompareXmlDlg(wxWindow* parent);

    // Asks for a file, reads it and fills the list.
    void Browse();
    // Reads `path` as the reference and fills the list (an unreadable file compares as empty).
    void TakeFile(const wxString& path);
    // Fills only once a file was chosen; before that there is nothing to compare with.
    bool Fill() override;

    const wxString& GetPath() const { return m_path; }
    const CompareFileValues& GetFileValues() const { return m_fileValues; }

protected:
    void AddExtraControls(wxBoxSizer* buttons) override;
    std::vector<SCompareRow> ComputeRows(bool showUnmatched, bool showMatched) const override;
    void CloneRows(const std::vector<CCmdNameXmlInfo*>& ticked) override;
    bool ReadyToFill() override;

private:
    wxString m_path;
    CompareFileValues m_fileValues;
    wxStaticText* m_pathText = nullptr;
};
