#include "ImageManageDlg.h"

#include "ImageEdit.h"
#include "ImageView.h"
#include "app/FileNaming.h"
#include "app/UiText.h"
#include "config/gui/FileChooser.h"
#include "image/ImageOptions.h"
#include "UI/gui/Accessible.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>

#include <algorithm>

namespace {

constexpr int kCentralArea = 8;
constexpr int kContrastStart = 128;

const char* const kSaveFilter = "*.bmp|*.bmp|*.jpg|*.jpg|*.tif|*.tif|*.png|*.png";

// The filter list with the captured format's entry first.
wxString SaveFilterFor(int format)
{
    switch (format) {
    case IMAGE_FORMAT_JPEG:
        return "*.jpg|*.jpg|*.bmp|*.bmp|*.tif|*.tif|*.png|*.png";
    case IMAGE_FORMAT_TIFF:
        return "*.tif|*.tif|*.bmp|*.bmp|*.jpg|*.jpg|*.png|*.png";
    default:
        return kSaveFilter;
    }
}

}  // namespace

CImageManageDlg::CImageManageDlg(wxWindow* parent, const wxImage& source, const wxRect* central, int format)
    : wxDialog(parent, wxID_ANY, GetUiText("ID_IMAGE_MANAGE", "图像管理"), wxDefaultPosition, wxSize(900, 700),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_source(source.Copy()),
      m_working(source.Copy()),
      m_central(central ? *central : wxRect()),
      m_format(format)
{
    OpenHelpOnF1(this);
    EnsureImageCodecs();
    CreateControls(central != nullptr);
    ShowWorking();
    // The keys start at the first tool; left to itself GTK focuses nothing here.
    m_cmbRotate->SetFocus();
}

void CImageManageDlg::CreateControls(bool withCentral)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* tools = new wxBoxSizer(wxHORIZONTAL);
    tools->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_IMAGE_ROTATE", "旋转")), 0,
               wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    m_cmbRotate = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(200, -1));
    static const struct {
        const char* textId;
        const char* fallback;
    } kOrientations[] = {{"ID_IMAGE_ROTATE_NO", "不旋转"},         {"ID_IMAGE_ROTATE_90", "旋转90度"},
                         {"ID_IMAGE_ROTATE_180", "旋转180度"},      {"ID_IMAGE_ROTATE_270", "旋转270度"},
                         {"ID_IMAGE_ROTATE_NO_FLIP", "不旋转翻转"}, {"ID_IMAGE_ROTATE_90_FLIP", "旋转90度翻转"},
                         {"ID_IMAGE_ROTATE_180_FLIP", "旋转180度翻转"}, {"ID_IMAGE_ROTATE_270_FLIP", "旋转270度翻转"}};
    for (const auto& orientation : kOrientations)
        m_cmbRotate->Append(GetUiText(orientation.textId, orientation.fallback));
    if (withCentral)
        m_cmbRotate->Append(GetUiText("ID_IMAGE_CENTRAL", "中心区域"));
    m_cmbRotate->SetSelection(0);
    m_cmbRotate->Bind(wxEVT_CHOICE, &CImageManageDlg::OnOrientation, this);
    tools->Add(m_cmbRotate, 0, wxRIGHT, 12);

    tools->Add(new wxStaticText(this, wxID_ANY, GetUiText("ID_IMAGE_CONTRAST", "对比度")), 0,
               wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    m_sldContrast = new wxSlider(this, wxID_ANY, kContrastStart, 0, 255, wxDefaultPosition, wxSize(200, -1),
                                 wxSL_HORIZONTAL | wxSL_LABELS);
    m_sldContrast->Bind(wxEVT_SLIDER, &CImageManageDlg::OnContrast, this);
    // Its caption is outside the box GTK puts the slider and its numbers in.
    SetAccessibleName(m_sldContrast, GetUiText("ID_IMAGE_CONTRAST", "对比度"));
    tools->Add(m_sldContrast, 0, wxRIGHT, 12);

    const auto addButton = [&](wxWindowID id, const char* textId, const char* fallback, auto handler) {
        auto* button = new wxButton(this, id, GetUiText(textId, fallback));
        button->Bind(wxEVT_BUTTON, handler, this);
        tools->Add(button, 0, wxRIGHT, 4);
        return button;
    };
    addButton(wxID_ANY, "ID_IMAGE_DEFAULT", "还原", &CImageManageDlg::OnDefault);
    addButton(wxID_ANY, "ID_IMAGE_CUT", "剪切", &CImageManageDlg::OnCut);
    addButton(wxID_ANY, "ID_IMAGE_SAVE", "保存图像", &CImageManageDlg::OnSave)->SetDefault();
    tools->Add(new wxButton(this, wxID_CANCEL, GetUiLabel("IDCANCEL", "取消(&C)")));
    top->Add(tools, 0, wxALL, 6);

    m_view = new CImageView(this);
    m_view->EnableSelection(true);
    m_view->RegisterForArrowKeys();
    top->Add(m_view, 1, wxEXPAND | wxALL, 6);
    SetSizer(top);
    // Wide enough for the tool row in any language.
    SetSize(wxSize(std::max(GetSize().x, GetBestSize().x), GetSize().y));
}

void CImageManageDlg::ShowWorking()
{
    m_view->SetImage(m_working);
    m_view->ClearSelection();
}

void CImageManageDlg::SetOrientation(int orientation)
{
    if (orientation == kCentralArea) {
        m_working = m_source.Copy();
        ShowWorking();
        m_view->SetPictureSelection(m_central);
        return;
    }
    m_working = OrientImage(m_source, orientation);
    ShowWorking();
}

// The contrast is taken from the source picture, not from what the other tools made
// of it: moving the slider starts again from the picture as captured.
void CImageManageDlg::SetContrast(int position)
{
    m_working = ContrastImage(m_source, position);
    m_view->SetImage(m_working);
}

bool CImageManageDlg::Cut(const wxRect& viewSelection)
{
    if (viewSelection.IsEmpty())
        return true;
    wxRect picture;
    if (!ViewToPicture(viewSelection, m_view->GetPictureRect(), m_working.GetSize(), picture)) {
        ShowMessage(GetUiText("ID_IMAGE_ERROR_CUT", "剪切失败"), wxOK | wxICON_ERROR);
        return false;
    }
    m_working = m_working.GetSubImage(picture);
    ShowWorking();
    return true;
}

void CImageManageDlg::RestoreSource()
{
    m_cmbRotate->SetSelection(0);
    m_sldContrast->SetValue(kContrastStart);
    m_working = m_source.Copy();
    ShowWorking();
}

bool CImageManageDlg::SaveTo(const wxString& path)
{
    const bool saved = SaveImageByExtension(m_working, path);
    if (saved)
        ShowMessage(GetUiText("ID_SAVE_OK", "保存成功"), wxOK | wxICON_INFORMATION);
    else
        ShowMessage(GetUiText("ID_SAVE_ERROR", "保存失败 \r\n"), wxOK | wxICON_ERROR);
    return saved;
}

void CImageManageDlg::OnOrientation(wxCommandEvent&)
{
    SetOrientation(m_cmbRotate->GetSelection());
}

void CImageManageDlg::OnContrast(wxCommandEvent&)
{
    SetContrast(m_sldContrast->GetValue());
}

void CImageManageDlg::OnCut(wxCommandEvent&)
{
    Cut(m_view->GetSelection());
}

void CImageManageDlg::OnDefault(wxCommandEvent&)
{
    RestoreSource();
}

void CImageManageDlg::OnSave(wxCommandEvent&)
{
    SFileQuestion question;
    question.save = true;
    question.title = GetUiText("ID_IMAGE_SAVE", "保存图像");
    question.filter = SaveFilterFor(m_format);
    question.extension = FilterExtension(question.filter, 0);
    question.defaultName = ProposedNameForModel(question.extension);
    const wxString path = ChooseFile(this, question);
    if (!path.empty())
        SaveTo(path);
}
