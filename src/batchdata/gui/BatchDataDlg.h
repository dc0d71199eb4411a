// The stored-data panel: one button fetches what a batch-mode scanner kept, shows it
// and appends it to "batch.txt" beside the program.
#pragma once

#include "HarbrekBaseDlg.h"
#include "TerminalLink.h"

#include <wx/button.h>
#include <wx/textctrl.h>

#include <memory>
#include <vector>

class CBatchDataDlg : public CHarbrekBaseDlg {
public:
    // `link` null: the scanner the link manager has open. `dataWaitMs` is the time
    // the scanner gets before its data is read.
    explicit CBatchDataDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link = nullptr, int dataWaitMs = 1000);

    void ApplyUiTexts() override;

    // The button's work; false when the scanner did not acknowledge the requests
    // (then nothing is shown or written).
    bool FetchBatchData();
    void SetOutputPath(const wxString& path) { m_outputPath = path; }

    wxButton* GetFetchButton() const { return m_btnFetch; }
    wxTextCtrl* GetDataBox() const { return m_txtData; }

private:
    void ShowAndStore(const std::vector<wxString>& entries);

    std::unique_ptr<ITerminalLink> m_link;
    int m_dataWaitMs;
    wxString m_outputPath;
    wxButton* m_btnFetch = nullptr;
    wxTextCtrl* m_txtData = nullptr;
};
