#include "MainDlg.h"

#include "MainWindowEvents.h"
#include "app/AppContext.h"
#include "app/AppSettings.h"
#include "app/LanguageXmlInfo.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "UI/gui/Accessible.h"

#include <wx/clntdata.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/sizer.h>

#include <algorithm>

namespace {

// Pictures of the home page; a missing one is logged and left out.
wxBitmap LoadPicture(const wxString& name, int size)
{
    const wxString path = CAppContext::GetInstance().GetFilePath("Images", name);
    wxImage image;
    if (!wxFileName::FileExists(path) || !image.LoadFile(path, wxBITMAP_TYPE_PNG)) {
        VLOG(LOG_WARNING, "picture %s missing", U8(path));
        return wxBitmap();
    }
    if (size > 0 && (image.GetWidth() != size || image.GetHeight() != size))
        image.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image);
}

}  // namespace

CMainDlg::CMainDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    m_entries = {
        {NAVIGATE_ONLINE, "ID_STRING_ONLINE", "在线设备", "onLine.png"},
        {NAVIGATE_OFFLINE, "ID_STRING_OFFLINE", "离线设备", "outLine.png"},
        {NAVIGATE_COMMAND, "ID_STRING_CMD", "命令交互", "cmd.png"},
        {NAVIGATE_BATCH_UPGRADE, "ID_CFG_BATCHUPDATE", "批量升级", ""},
    };
    CreateControls();
    FillLanguageChooser();
    ApplySharedFont();
    if (m_txtCaption)
        m_txtCaption->SetFont(m_txtCaption->GetFont().Bold().Scaled(1.6f));
    ApplyUiTexts();
}

CMainDlg::~CMainDlg()
{
    CAppSettings::GetInstance().SaveLanguage(CLanguageXmlInfo::GetInstance().GetCurrentLanguage());
}

void CMainDlg::CreateControls()
{
    ApplyPageTint(this);
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* header = new wxBoxSizer(wxHORIZONTAL);
    const wxBitmap logo = LoadPicture("logo.png", 64);
    if (logo.IsOk()) {
        m_picLogo = new wxStaticBitmap(this, wxID_ANY, logo);
        header->Add(m_picLogo, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    }
    m_txtCaption = new wxStaticText(this, wxID_ANY, wxEmptyString);
    header->Add(m_txtCaption, 1, wxALIGN_CENTER_VERTICAL);
    m_txtLanguage = new wxStaticText(this, wxID_ANY, wxEmptyString);
    header->Add(m_txtLanguage, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    m_cmbLanguage = new wxChoice(this, wxID_ANY);
    m_cmbLanguage->Bind(wxEVT_CHOICE, &CMainDlg::OnLanguageChanged, this);
    header->Add(m_cmbLanguage, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(header, 0, wxEXPAND | wxALL, 24);

    auto* entries = new wxBoxSizer(wxHORIZONTAL);
    entries->AddStretchSpacer();
    for (SEntry& entry : m_entries)
        entries->Add(CreateEntry(entry), 0, wxALL | wxALIGN_BOTTOM, 18);
    entries->AddStretchSpacer();
    top->AddStretchSpacer();
    top->Add(entries, 0, wxEXPAND);
    top->AddStretchSpacer(2);
    SetSizer(top);
}

wxSizer* CMainDlg::CreateEntry(SEntry& entry)
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    const int request = entry.request;
    const wxBitmap picture = *entry.picture ? LoadPicture(entry.picture, 128) : wxBitmap();
    if (picture.IsOk()) {
        entry.pictureButton = new wxBitmapButton(this, wxID_ANY, picture, wxDefaultPosition, wxDefaultSize,
                                                 wxBORDER_NONE);
        entry.pictureButton->Bind(wxEVT_BUTTON, [this, request](wxCommandEvent&) { PostNavigate(request); });
        column->Add(entry.pictureButton, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 8);
    }
    entry.button = new wxButton(this, wxID_ANY, wxEmptyString, wxDefaultPosition, FromDIP(wxSize(160, -1)));
    entry.button->Bind(wxEVT_BUTTON, [this, request](wxCommandEvent&) { PostNavigate(request); });
    column->Add(entry.button, 0, wxALIGN_CENTER_HORIZONTAL);
    return column;
}

void CMainDlg::FillLanguageChooser()
{
    const CLanguageXmlInfo& languages = CLanguageXmlInfo::GetInstance();
    m_cmbLanguage->Clear();
    int selected = wxNOT_FOUND;
    for (const SLanguageEntry& entry : languages.GetLanguages()) {
        const int index = m_cmbLanguage->Append(entry.displayText, new wxStringClientData(entry.name));
        if (entry.name == languages.GetCurrentLanguage())
            selected = index;
    }
    if (m_cmbLanguage->GetCount() > 0)
        m_cmbLanguage->SetSelection(selected == wxNOT_FOUND ? 0 : selected);
}

void CMainDlg::ApplyUiTexts()
{
    m_txtCaption->SetLabel(GetUiText("ID_CAPTION", "Vostrel"));
    m_txtLanguage->SetLabel(GetUiText("ID_LANG", "语言"));
    for (SEntry& entry : m_entries) {
        const wxString text = GetUiText(entry.textId, entry.fallback);
        entry.button->SetLabel(text);
        if (entry.pictureButton) {
            entry.pictureButton->SetToolTip(text);
            SetAccessibleName(entry.pictureButton, text, EAccessibleRole::Button);
        }
    }
    // One width for all, the longest caption's where a language needs more.
    int width = FromDIP(160);
    for (const SEntry& entry : m_entries) {
        entry.button->SetMinSize(wxDefaultSize);
        width = std::max(width, entry.button->GetBestSize().GetWidth());
    }
    for (const SEntry& entry : m_entries)
        entry.button->SetMinSize(wxSize(width, -1));
    Layout();
}

bool CMainDlg::SelectLanguage(int index)
{
    auto* data = dynamic_cast<wxStringClientData*>(m_cmbLanguage->GetClientObject(index));
    if (!data)
        return false;
    m_cmbLanguage->SetSelection(index);
    if (!CLanguageXmlInfo::GetInstance().LoadLanguageTexts(data->GetData()))
        VLOG(LOG_ERROR, "language %s could not be loaded", U8(data->GetData()));
    ApplyUiTexts();
    wxCommandEvent changed(EVT_VOSTREL_TEXTS_CHANGED);
    if (GetParent())
        wxPostEvent(GetParent(), changed);
    return true;
}

void CMainDlg::EnableEntry(int request, bool enable)
{
    for (SEntry& entry : m_entries) {
        if (entry.request != request)
            continue;
        entry.button->Enable(enable);
        if (entry.pictureButton)
            entry.pictureButton->Enable(enable);
    }
}

void CMainDlg::OnLanguageChanged(wxCommandEvent& event)
{
    SelectLanguage(event.GetSelection());
}

void CMainDlg::PostNavigate(int request)
{
    wxCommandEvent navigate(EVT_VOSTREL_NAVIGATE);
    navigate.SetInt(request);
    if (GetParent())
        wxPostEvent(GetParent(), navigate);
}
