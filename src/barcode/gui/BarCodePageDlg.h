// What the three pages of the settings-barcode window share: the command box with
// its create button, the title and comments of the output, the print, PDF and Word
// buttons, and the sheet view. Each page adds its own options and building.
#pragma once

#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/SheetOutput.h"
#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

class CImageBarCodeDlg;

class CBarCodePageDlg : public CHarbrekBaseDlg {
public:
    explicit CBarCodePageDlg(wxWindow* parent);

    void ApplyUiTexts() override;

    // Builds from the history list (and remembers that it did); with `printAtOnce`
    // the print preview opens right after.
    void BuildFromHistoryList(bool printAtOnce);
    // What the create button does: the history list again after a build from it,
    // otherwise the typed text.
    void Create();

    CImageBarCodeDlg* GetSheetView() const { return m_view; }
    wxComboBox* GetCommandBox() const { return m_cmbCommands; }
    wxButton* GetCreateButton() const { return m_btnCreate; }
    wxButton* GetPrintButton() const { return m_btnPrint; }
    wxButton* GetPdfButton() const { return m_btnPdf; }
    wxButton* GetWordButton() const { return m_btnWord; }
    wxTextCtrl* GetTitleBox() const { return m_edtTitle; }
    wxTextCtrl* GetCommentsBox() const { return m_edtComments; }
    bool IsBuiltFromHistory() const { return m_builtFromHistory; }

    // The header of the output: title and comments of this page, the product now.
    SSheetHeader GetHeader() const;
    // Export without a file dialog; false after the message has been shown.
    bool ExportPdf(const wxString& path);
    bool ExportWord(const wxString& path);
    // The pages as PNG pictures, as vostrel-cli writes them.
    bool ExportPng(const wxString& path);
    void OpenPrintPreview();

protected:
    // Called by the derived page's constructor once its options exist.
    void CreateLayout();
    // The page's own options, added to `column`.
    virtual void CreateOptions(wxWindow* parent, wxSizer* column) = 0;
    virtual void ApplyOptionTexts() = 0;
    // `split`: settings too long for one symbol go into several (batch pages).
    virtual EBuildResult BuildFromText(CBarcodeSheetBuilder& builder, const wxString& text, bool split) = 0;
    virtual EBuildResult BuildFromHistory(CBarcodeSheetBuilder& builder, bool split) = 0;
    // Puts the options onto the sheet's layout (scales, interval, captions).
    virtual void TakeOptions() = 0;

    // Repaints with the options now, after a build or an option change.
    void ShowSheet();
    // Keeps a rendered text in the command box's list.
    void RememberText(const wxString& text);
    static wxString SetupCommand();
    void SetCreateLabelId(const char* id) { m_createLabelId = id; }

    wxStaticText* m_txtInfo = nullptr;
    const char* m_infoId = "ID_BARCODE1D_DLG_INFO";
    const char* m_infoFallback = "输入指令，多条指令用“;”分隔，例如 232BAD1;BEPLVL2";

private:
    // Builds from the history list or the typed text; settings too long for one
    // symbol are split when the user agrees. The result of the last build tried.
    EBuildResult Build(bool fromHistory, const wxString& text);
    // Says that the settings do not fit one symbol; true when the user wants them split.
    bool AskToSplit(const CBarcodeSheetBuilder& builder) const;
    wxSizer* CreateCommandRow();
    wxSizer* CreateOutputRow();
    void UpdateOutputButtons();
    void OnCreate(wxCommandEvent& event);
    void OnSavePdf(wxCommandEvent& event);
    void OnSaveWord(wxCommandEvent& event);
    wxString AskSheetFile(const wxString& filter, const wxString& extension);
    void OnSavePng(wxCommandEvent& event);
    void OnPrint(wxCommandEvent& event);

    wxComboBox* m_cmbCommands = nullptr;
    wxButton* m_btnCreate = nullptr;
    wxStaticText* m_txtTitle = nullptr;
    wxTextCtrl* m_edtTitle = nullptr;
    wxStaticText* m_txtComments = nullptr;
    wxTextCtrl* m_edtComments = nullptr;
    wxButton* m_btnPrint = nullptr;
    wxButton* m_btnPdf = nullptr;
    wxButton* m_btnWord = nullptr;
    wxButton* m_btnPng = nullptr;
    CImageBarCodeDlg* m_view = nullptr;
    bool m_builtFromHistory = false;
    const char* m_createLabelId = "ID_BARCODE1D_DLG_CREATE";
};

// A slider of positions 0 to 9 with its label in front.
wxSizer* AddSlider(wxWindow* parent, wxStaticText*& label, wxSlider*& slider, int position);
