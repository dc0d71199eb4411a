#include "DeviceOutLineDlg.h"
#include "UI/gui/Accessible.h"

#include "MainWindowEvents.h"
#include "Thumbnail.h"
#include "app/Log.h"
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "config/SaveCfg.h"
#include "device/DeviceMnt.h"

#include <wx/imaglist.h>
#include <wx/sizer.h>

namespace {

CDeviceOutLineDlg::FileChooser& ReplacedFileChooser()
{
    static CDeviceOutLineDlg::FileChooser chooser;
    return chooser;
}

}  // namespace

CDeviceOutLineDlg::CDeviceOutLineDlg(wxWindow* parent) : CHarbrekBaseDlg(parent)
{
    CreateControls();
    // Read anew each time the page is made, so that it shows the file as it is now.
    m_hasCatalogue = CDeviceMnt::GetInstance().Load();
    if (!m_hasCatalogue)
        ShowMessage(GetUiText("ID_DEVICE_LOAD_ERROR", "导入配置文件失败!"), wxOK | wxICON_ERROR);
    FillCategories();
    ApplySharedFont();
    ApplyUiTexts();
}

void CDeviceOutLineDlg::CreateControls()
{
    ApplyPageTint(this);
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* tools = new wxBoxSizer(wxHORIZONTAL);
    m_txtSearchLabel = new wxStaticText(this, wxID_ANY, wxEmptyString);
    tools->Add(m_txtSearchLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    m_txtSearch = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(220, -1));
    m_txtSearch->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { ShowSearchResult(m_txtSearch->GetValue()); });
    tools->Add(m_txtSearch, 0, wxALIGN_CENTER_VERTICAL);
    tools->AddStretchSpacer();
    m_btnOpenCfg = new wxButton(this, wxID_ANY, wxEmptyString);
    m_btnOpenCfg->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseConfigurationFile(); });
    tools->Add(m_btnOpenCfg, 0, wxALIGN_CENTER_VERTICAL);
    top->Add(tools, 0, wxEXPAND | wxALL, 12);

    auto* lists = new wxBoxSizer(wxHORIZONTAL);
    m_lstCategories = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(220, -1));
    SetAccessibleName(m_lstCategories, GetUiText("ID_NAME_MODEL_CATEGORIES", "Model categories"));
    m_lstCategories->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) { ShowCategory(event.GetSelection()); });
    lists->Add(m_lstCategories, 0, wxEXPAND | wxRIGHT, 12);
    m_lstModels = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxLC_ICON | wxLC_SINGLE_SEL | wxBORDER_THEME);
    SetAccessibleName(m_lstModels, GetUiText("ID_NAME_MODEL_LIST", "Models"), EAccessibleRole::List);
    m_lstModels->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& event) { ConfigureModel(event.GetIndex()); });
    lists->Add(m_lstModels, 1, wxEXPAND);
    top->Add(lists, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizer(top);
}

void CDeviceOutLineDlg::ApplyUiTexts()
{
    m_txtSearchLabel->SetLabel(GetUiText("ID_DEVICE_DLG_OUT_FIND", "查找"));
    m_btnOpenCfg->SetLabel(GetUiText("ID_DEVICE_DLG_OPEN_CFG", "打开配置文件"));
    const auto& categories = CDeviceMnt::GetInstance().GetCategories();
    for (size_t i = 0; i < categories.size() && i < m_lstCategories->GetCount(); ++i)
        m_lstCategories->SetString(static_cast<unsigned>(i), GetUiText(categories[i]->m_langID, categories[i]->m_name));
    Layout();
}

void CDeviceOutLineDlg::FillCategories()
{
    m_lstCategories->Clear();
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        m_lstCategories->Append(category->m_name);
    if (m_lstCategories->GetCount() > 0) {
        m_lstCategories->SetSelection(0);
        ShowCategory(0);
    }
}

void CDeviceOutLineDlg::ShowCategory(int index)
{
    const auto& categories = CDeviceMnt::GetInstance().GetCategories();
    if (index < 0 || static_cast<size_t>(index) >= categories.size())
        return;
    std::vector<CDeviceInfo*> models;
    for (const auto& [key, model] : categories[static_cast<size_t>(index)]->GetDevices())
        models.push_back(model.get());
    ShowModels(std::move(models));
}

void CDeviceOutLineDlg::ShowSearchResult(const wxString& text)
{
    if (text.empty()) {
        ShowCategory(m_lstCategories->GetSelection());
        return;
    }
    DeviceSearchResult found;
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories())
        category->Search(text, found);
    std::vector<CDeviceInfo*> models;
    for (const auto& [key, model] : found)
        models.push_back(model);
    ShowModels(std::move(models));
}

void CDeviceOutLineDlg::ShowModels(std::vector<CDeviceInfo*> models)
{
    m_shownModels = std::move(models);
    m_lstModels->DeleteAllItems();
    auto* pictures = new wxImageList(kThumbnailSize, kThumbnailSize, false);
    for (size_t i = 0; i < m_shownModels.size(); ++i) {
        const CDeviceInfo* model = m_shownModels[i];
        const int picture = pictures->Add(MakeThumbnail(model->m_pictureImage.get(), kThumbnailSize));
        m_lstModels->InsertItem(static_cast<long>(i), model->m_name, picture);
    }
    m_lstModels->AssignImageList(pictures, wxIMAGE_LIST_NORMAL);
}

void CDeviceOutLineDlg::ConfigureModel(long index)
{
    if (index >= 0 && static_cast<size_t>(index) < m_shownModels.size())
        PostNavigateRequest(GetParent(), NAVIGATE_CONFIGURE_MODEL, m_shownModels[static_cast<size_t>(index)]);
}

void CDeviceOutLineDlg::SetFileChooser(FileChooser chooser)
{
    ReplacedFileChooser() = std::move(chooser);
}

wxString CDeviceOutLineDlg::AskForConfigurationFile(wxWindow* parent)
{
    if (ReplacedFileChooser())
        return ReplacedFileChooser()(parent);
    SFileQuestion question;
    question.title = GetUiText("ID_DEVICE_DLG_OPEN_CFG", "打开配置文件");
    question.filter = "Vost Files (*.xml)|*.xml";
    return ChooseFile(parent, question);
}

void CDeviceOutLineDlg::ChooseConfigurationFile()
{
    const wxString path = AskForConfigurationFile(wxGetTopLevelParent(this));
    if (!path.empty())
        OpenConfigurationFile(path);
}

void CDeviceOutLineDlg::OpenConfigurationFile(const wxString& path)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!engine.OpenConfiguration(path, false)) {
        if (!engine.OpenFailureText().empty())
            ShowMessage(engine.OpenFailureText(), wxOK | wxICON_ERROR);
        return;
    }
    CDeviceInfo* model = FindModelForFile(engine.GetFileDeviceType());
    if (!model) {
        VLOG(LOG_INFO, "no model for the file's device %s", U8(engine.GetFileDeviceType()));
        engine.ClearValues();
        ShowMessage(GetUiText("ID_DEVICE_DLG_OPEN_CFG_ERROR_DEVICE", "配置文件中的设备型号不在设备列表中!"),
                    wxOK | wxICON_ERROR);
        return;
    }
    // The values read stay in the engine: the configuration page shows them.
    PostNavigateRequest(GetParent(), NAVIGATE_CONFIGURE_MODEL, model);
}

CDeviceInfo* CDeviceOutLineDlg::FindModelForFile(const wxString& deviceType)
{
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
        if (CDeviceInfo* model = category->FindByProductName(deviceType))
            return model;
    }
    return nullptr;
}
