// The page of catalogue models: the categories, the pictures of their models, a
// search over all of them, and opening a configuration file for the model it names.
#pragma once

#include "UI/gui/HarbrekBaseDlg.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <vector>

class CDeviceInfo;

class CDeviceOutLineDlg : public CHarbrekBaseDlg {
public:
    // Loads the catalogue; when that fails the user is told and HasCatalogue() is false.
    explicit CDeviceOutLineDlg(wxWindow* parent);

    void ApplyUiTexts() override;

    // False: the catalogue could not be read and the page is to be closed.
    bool HasCatalogue() const { return m_hasCatalogue; }

    // Shows the models of the category at `index` of the category list.
    void ShowCategory(int index);
    // Shows the models of every category whose key contains `text`, ignoring case;
    // an empty text shows the chosen category again.
    void ShowSearchResult(const wxString& text);
    // The models shown, in list order; they belong to the catalogue.
    const std::vector<CDeviceInfo*>& GetShownModels() const { return m_shownModels; }

    // Lets the user pick a configuration file, then opens it as OpenConfigurationFile does.
    void ChooseConfigurationFile();
    // Reads the file into the engine and configures the catalogue model it was written
    // for; the user is told when the file or its model is unknown.
    void OpenConfigurationFile(const wxString& path);

    // Stands in for the file window (tests): returns the chosen path, empty for none.
    using FileChooser = std::function<wxString(wxWindow* parent)>;
    static void SetFileChooser(FileChooser chooser);

    wxListBox* GetCategoryList() const { return m_lstCategories; }
    wxListCtrl* GetModelList() const { return m_lstModels; }
    wxTextCtrl* GetSearchField() const { return m_txtSearch; }

private:
    void CreateControls();
    void FillCategories();
    void ShowModels(std::vector<CDeviceInfo*> models);
    void ConfigureModel(long index);
    static CDeviceInfo* FindModelForFile(const wxString& deviceType);
    static wxString AskForConfigurationFile(wxWindow* parent);

    bool m_hasCatalogue = false;
    wxListBox* m_lstCategories = nullptr;
    wxListCtrl* m_lstModels = nullptr;
    wxStaticText* m_txtSearchLabel = nullptr;
    wxTextCtrl* m_txtSearch = nullptr;
    wxButton* m_btnOpenCfg = nullptr;
    std::vector<CDeviceInfo*> m_shownModels;
};
