#include "BatchDataDlg.h"

#include "BatchDataFetch.h"
#include "BusyFlag.h"
#include "UiText.h"

#include <wx/sizer.h>
#include <wx/utils.h>

#include <chrono>
#include <thread>

namespace {

// Long enough for a read the terminal's reader has in progress to end.
const auto kReaderPause = std::chrono::milliseconds(70);

}  // namespace

CBatchDataDlg::CBatchDataDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link, int dataWaitMs)
    : CHarbrekBaseDlg(parent),
      m_link(link ? std::move(link) : std::make_unique<CDeviceTerminalLink>()),
      m_dataWaitMs(dataWaitMs),
      m_outputPath(CBatchDataFetch::DefaultPath())
{
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    m_btnFetch = new wxButton(this, wxID_ANY, wxEmptyString);
    m_txtData = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2);
    top->Add(m_btnFetch, 0, wxALIGN_TOP | wxALL, 4);
    top->Add(m_txtData, 1, wxEXPAND | wxALL, 4);
    SetSizer(top);
    m_btnFetch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { FetchBatchData(); });
    ApplySharedFont();
    ApplyUiTexts();
}

void CBatchDataDlg::ApplyUiTexts()
{
    m_btnFetch->SetLabel(GetUiText("ID_DATA_GETBATCH", "获取批量数据"));
    Layout();
}

bool CBatchDataDlg::FetchBatchData()
{
    // The fetch holds the link for seconds; the terminal's reader keeps off meanwhile.
    std::vector<wxString> entries;
    wxBusyCursor wait;
    bool fetched = false;
    {
        CBusyScope busy;
        std::this_thread::sleep_for(kReaderPause);
        fetched = CBatchDataFetch(*m_link, m_dataWaitMs).Fetch(entries);
    }
    if (fetched)
        ShowAndStore(entries);
    return fetched;
}

void CBatchDataDlg::ShowAndStore(const std::vector<wxString>& entries)
{
    m_txtData->Clear();
    ShowMessage(wxString::Format("ilen= %d", static_cast<int>(entries.size())));
    wxString shown;
    for (const wxString& entry : entries)
        shown += entry;
    shown.Replace("\r\n", "\n");
    m_txtData->AppendText(shown);
    CBatchDataFetch::AppendEntries(m_outputPath, entries);
}
