#include "BatchDataDlg.h"
#include "UI/gui/Accessible.h"

#include "app/UiText.h"
#include "device/HBDataStreamMnt.h"
#include "device/LineWait.h"

#include <wx/filename.h>
#include <wx/sizer.h>

CBatchDataDlg::CBatchDataDlg(wxWindow* parent, std::unique_ptr<ITerminalLink> link, int dataWaitMs)
    : CHarbrekBaseDlg(parent),
      m_link(link ? std::shared_ptr<ITerminalLink>(std::move(link)) : std::make_shared<CDeviceTerminalLink>()),
      m_dataWaitMs(dataWaitMs),
      m_outputPath(CBatchDataFetch::DefaultPath())
{
    m_jobs.ShowBusyOn(this);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    m_btnFetch = new wxButton(this, wxID_ANY, wxEmptyString);
    auto* column = new wxBoxSizer(wxVERTICAL);
    m_txtStatus = new wxStaticText(this, wxID_ANY, wxEmptyString);
    m_txtData = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2);
    SetAccessibleName(m_txtData, GetUiText("ID_TAB_STORED_DATA", "Stored data"));
    column->Add(m_txtStatus, 0, wxEXPAND | wxBOTTOM, 4);
    column->Add(m_txtData, 1, wxEXPAND);
    top->Add(m_btnFetch, 0, wxALIGN_TOP | wxALL, 4);
    top->Add(column, 1, wxEXPAND | wxALL, 4);
    SetSizer(top);
    m_btnFetch->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnButton(); });
    ApplySharedFont();
    ApplyUiTexts();
}

void CBatchDataDlg::ApplyUiTexts()
{
    m_btnFetch->SetLabel(IsFetching() ? GetUiText("ID_DATA_STOP", "停止") : GetUiText("ID_DATA_GETBATCH", "获取批量数据"));
    Layout();
}

void CBatchDataDlg::OnButton()
{
    if (IsFetching())
        StopFetch();
    else
        FetchBatchData();
}

bool CBatchDataDlg::FetchBatchData()
{
    if (IsFetching())
        return false;
    auto result = std::make_shared<SFetchResult>();
    const std::shared_ptr<ITerminalLink> link = m_link;
    const int dataWaitMs = m_dataWaitMs;
    const wxString path = m_outputPath;
    m_fetch = m_jobs.Queue(
        LineUsers::kBatchFetch,
        [link, dataWaitMs, path, result](CLineJob& job) {
            SFetchControl control;
            control.stop = &job.CancelFlag();
            control.wait = [&job](uint32_t ms) { return job.WaitFor(ms); };
            control.progress = [&job](const SFetchProgress& step) {
                job.Report(SJobProgress{step.bytes, 0, step.entries, step.stillSending});
            };
            CBatchDataFetch fetch(*link, dataWaitMs);
            const bool fetched = fetch.Fetch(result->entries, control);
            result->end = fetch.End();
            // Kept here rather than by the panel: the codes reach the file even when
            // the page has gone meanwhile.
            if (fetched && !result->entries.empty())
                result->stored = CBatchDataFetch::AppendEntries(path, result->entries);
            return fetched;
        },
        [this, result](bool) { OnFetched(*result); }, [this](const SJobProgress& step) { ShowProgress(step); });
    m_entriesSoFar = 0;
    m_txtStatus->SetLabel(GetUiText("ID_DATA_WAITING", "正在请求存储的数据…"));
    ApplyUiTexts();
    return true;
}

void CBatchDataDlg::StopFetch()
{
    if (m_fetch)
        m_fetch->Cancel();
}

void CBatchDataDlg::ShowProgress(const SJobProgress& progress)
{
    m_entriesSoFar = progress.items;
    if (progress.noEndInSight) {
        m_txtStatus->SetLabel(GetUiText("ID_DATA_STILL_SENDING", "设备仍在发送读取的数据；请停止以保留已收到的数据"));
        return;
    }
    m_txtStatus->SetLabel(wxString::Format(GetUiText("ID_DATA_PROGRESS", "已收到 %llu 字节，%llu 条"),
                                           static_cast<unsigned long long>(progress.done),
                                           static_cast<unsigned long long>(progress.items)));
}

void CBatchDataDlg::OnFetched(const SFetchResult& result)
{
    m_fetch.reset();
    ApplyUiTexts();
    if (result.end == EFetchEnd::BUSY) {
        const wxString holder = CHBDataStreamMnt::GetInstance().Line().HolderText();
        ShowMessage(LineBusyText(holder.empty() ? GetUiText("ID_LINE_EXCHANGE", "正在与设备通讯") : holder),
                    wxOK | wxICON_INFORMATION);
    }
    m_txtStatus->SetLabel(EndText(result, wxFileName(m_outputPath).GetFullName()));
    if (!result.entries.empty())
        ShowEntries(result.entries);
}

void CBatchDataDlg::ShowEntries(const std::vector<wxString>& entries)
{
    m_txtData->Clear();
    wxString shown;
    for (const wxString& entry : entries)
        shown += entry;
    shown.Replace("\r\n", "\n");
    m_txtData->AppendText(shown);
}

// One sentence of what happened, for the line above the data.
wxString CBatchDataDlg::EndText(const SFetchResult& result, const wxString& fileName)
{
    // The entries of a cut list include the empty one that closes it.
    size_t count = 0;
    for (const wxString& entry : result.entries)
        count += entry.empty() ? 0 : 1;
    wxString text;
    switch (result.end) {
    case EFetchEnd::REFUSED:
        return GetUiText("ID_DATA_REFUSED", "设备没有确认批量数据请求，未获取任何数据。");
    case EFetchEnd::BUSY:
        return wxString();
    case EFetchEnd::GONE:
        text = GetUiText("ID_DATA_GONE", "设备已断开。") + " ";
        break;
    case EFetchEnd::STOPPED:
        text = GetUiText("ID_DATA_STOPPED", "已停止。") + " ";
        break;
    case EFetchEnd::TOO_LARGE:
    case EFetchEnd::TOO_LONG:
        text = GetUiText("ID_DATA_CUT", "数据超出上限，已截断。") + " ";
        break;
    case EFetchEnd::DONE:
        break;
    }
    if (count == 0)
        return text + GetUiText("ID_DATA_NONE", "没有存储的数据。");
    if (!result.stored)
        return text + wxString::Format(GetUiText("ID_DATA_NOT_STORED", "已获取 %u 条，但无法写入 %s。"), static_cast<unsigned>(count), fileName);
    return text + wxString::Format(GetUiText("ID_DATA_FETCHED", "已获取 %u 条，已追加到 %s"), static_cast<unsigned>(count), fileName);
}
