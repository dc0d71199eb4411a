// The stored-data panel: one button fetches what a batch-mode scanner kept, shows it
// and appends it to "batch.txt". The fetch is a job on the scanner line: the panel
// shows how far it has come and turns its button into Stop meanwhile.
#pragma once

#include "batchdata/BatchDataFetch.h"
#include "cmdcenter/TerminalLink.h"
#include "UI/gui/HarbrekBaseDlg.h"
#include "UI/gui/WindowJobs.h"

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>
#include <vector>

class CBatchDataDlg : public CHarbrekBaseDlg {
public:
    // `link` null: the scanner the link manager has open. `dataWaitMs` is the time
    // the scanner gets before its data is read.
    explicit CBatchDataDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link = nullptr,
                           int dataWaitMs = CBatchDataFetch::kDataWaitMs);

    void ApplyUiTexts() override;

    // The button's work: queues the fetch (false when one is under way already). The
    // panel shows and keeps the entries when it has ended.
    bool FetchBatchData();
    // Stops the fetch under way; what came so far is kept.
    void StopFetch();
    bool IsFetching() const { return m_jobs.IsBusy(); }
    void SetOutputPath(const wxString& path) { m_outputPath = path; }

    wxButton* GetFetchButton() const { return m_btnFetch; }
    wxTextCtrl* GetDataBox() const { return m_txtData; }
    // The progress line and, at the end, what happened.
    wxString GetStatusText() const { return m_txtStatus->GetLabel(); }
    // Entries the fetch under way has received so far.
    uint64_t GetEntriesSoFar() const { return m_entriesSoFar; }

private:
    // What the fetch hands to the panel at its end.
    struct SFetchResult {
        std::vector<wxString> entries;
        EFetchEnd end = EFetchEnd::DONE;
        bool stored = true;  // the entries reached the file
    };
    void OnButton();
    void ShowProgress(const SJobProgress& progress);
    void OnFetched(const SFetchResult& result);
    void ShowEntries(const std::vector<wxString>& entries);
    static wxString EndText(const SFetchResult& result, const wxString& fileName);

    // Shared with the job: the panel may go while the fetch runs.
    std::shared_ptr<ITerminalLink> m_link;
    int m_dataWaitMs;
    wxString m_outputPath;
    wxButton* m_btnFetch = nullptr;
    wxStaticText* m_txtStatus = nullptr;
    wxTextCtrl* m_txtData = nullptr;
    LineJobPtr m_fetch;
    uint64_t m_entriesSoFar = 0;
    CWindowJobs m_jobs;
};
