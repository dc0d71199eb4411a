#include "BatchDataDlg.h"

#include "BatchDataFetch.h"
#include "HBDataStreamMnt.h"
#include "LineWait.h"
#include "UiText.h"

#include <wx/sizer.h>
#include <wx/utils.h>

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
    // The fetch holds the line for seconds; the terminal's reader passes its turns.
    std::vector<wxString> entries;
    wxBusyCursor wait;
    CBatchDataFetch fetch(*m_link, m_dataWaitMs);
    const bool fetched = fetch.Fetch(entries);
    if (fetch.IsLineBusy()) {
        const wxString holder = CHBDataStreamMnt::GetInstance().Line().HolderText();
        ShowMessage(LineBusyText(holder.empty() ? GetUiText("ID_LINE_EXCHANGE", "正在与设备通讯") : holder),
                    wxOK | wxICON_INFORMATION);
        return false;
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
