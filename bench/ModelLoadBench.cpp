// Opening a model offline: its command map, "pageinfo.xml" and "maincfg.xml".
//
//   build/default/bin/model_load_bench
//
// The files are generated for a model of 2000 commands in 60 pages of 4 groups,
// with the usual mix of list, range, hex and text settings.
#include "app/AppContext.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"
#include "model/TabNodeXmlInfo.h"

#include <benchmark/benchmark.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/init.h>

namespace {

const int kCommands = 2000;
const int kPages = 60;
const int kGroupsPerPage = 4;

const char* const kKeywords[] = {"COMBOBOX", "RANGEEDIT", "EDIT", "HEXEDIT", "RADIOGROUP", "COMBOBOXCUSTOM"};

wxString CommandName(int index)
{
    return wxString::Format("C%02d%03d", index / 1000, index % 1000);
}

wxString Keyword(int index)
{
    return kKeywords[index % 6];
}

void WriteFile(const wxString& path, const wxString& text)
{
    wxFFile file(path, "w");
    file.Write(text, wxConvUTF8);
}

wxString ModelFile()
{
    wxString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceConfiguration>\n";
    for (int i = 0; i < kCommands; ++i) {
        const wxString keyword = Keyword(i);
        xml += " <Command>\n  <CommandName>" + CommandName(i) + "</CommandName>\n  <ControlType>" + keyword +
               "</ControlType>\n  <FriendlyText>Setting " + wxString::Format("%d", i) + "</FriendlyText>\n";
        if (keyword == "COMBOBOX" || keyword == "RADIOGROUP")
            xml += "  <SettingsList>0-3|8</SettingsList>\n  <Default>1</Default>\n";
        else if (keyword == "COMBOBOXCUSTOM")
            xml += "  <SettingsList>Off:0|On:1|</SettingsList>\n  <Default>0</Default>\n";
        else if (keyword == "HEXEDIT")
            xml += "  <Default>0D</Default>\n  <Minimum>0</Minimum>\n  <Maximum>FF</Maximum>\n  <CmdGetLen>4</CmdGetLen>\n";
        else
            xml += "  <Default>10</Default>\n  <Minimum>1</Minimum>\n  <Maximum>255</Maximum>\n";
        xml += " </Command>\n";
    }
    return xml + "</DeviceConfiguration>\n";
}

wxString PageFile()
{
    wxString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Pages>\n";
    const int perGroup = kCommands / (kPages * kGroupsPerPage) + 1;
    int next = 0;
    for (int page = 0; page < kPages; ++page) {
        xml += wxString::Format(" <Page>\n  <Value>Page%02d</Value>\n", page);
        for (int group = 0; group < kGroupsPerPage; ++group) {
            xml += wxString::Format("  <GroupName>\n   <Value>Group %d</Value>\n   <langID>ID_GROUP_%d</langID>\n",
                                    group, group);
            for (int k = 0; k < perGroup && next < kCommands; ++k, ++next)
                xml += "   <Command><CommandName>" + CommandName(next) + "</CommandName><ControlType>" +
                       Keyword(next) + "</ControlType><SettingsList>0:Off|1:On|2:Auto|3:Test|8:Max</SettingsList>"
                       "<langID>ID_SETTING</langID></Command>\n";
            xml += "  </GroupName>\n";
        }
        xml += " </Page>\n";
    }
    return xml + "</Pages>\n";
}

wxString TabFile()
{
    wxString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MainCfg>\n <property height=\"32\"/>\n";
    for (int row = 0; row < kPages / 10; ++row) {
        xml += wxString::Format(" <TabNode name=\"Row %d\">\n", row);
        for (int page = row * 10; page < row * 10 + 10; ++page)
            xml += wxString::Format("  <TabNode name=\"Page %d\"><Page name=\"Page%02d\"/></TabNode>\n", page, page);
        xml += " </TabNode>\n";
    }
    return xml + "</MainCfg>\n";
}

class CGeneratedModel {
public:
    CGeneratedModel()
    {
        m_directory = wxFileName::CreateTempFileName("vostrel-bench");
        wxRemoveFile(m_directory);
        wxFileName::Mkdir(m_directory + "/Config", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        WriteFile(m_directory + "/Config/Model.xml", ModelFile());
        WriteFile(m_directory + "/Config/pageinfo.xml", PageFile());
        WriteFile(m_directory + "/Config/maincfg.xml", TabFile());
        CAppContext::GetInstance().SetProgramDirectory(m_directory + "/");
    }
    ~CGeneratedModel() { wxFileName::Rmdir(m_directory, wxPATH_RMDIR_RECURSIVE); }

private:
    wxString m_directory;
};

void OpenModelOffline(benchmark::State& state)
{
    CGeneratedModel model;
    size_t pages = 0;
    for (auto _ : state) {
        CDeviceCmdNameMntXmlInfo::GetInstance().Load("Model.xml");
        CPageMntXmlInfo::GetInstance().Load();
        CTabNodeXmlInfo tabs;
        tabs.Load();
        pages = CPageMntXmlInfo::GetInstance().GetPages().size();
        benchmark::DoNotOptimize(tabs.GetChildren().size());
    }
    state.counters["commands"] = static_cast<double>(CDeviceCmdNameMntXmlInfo::GetInstance().GetCount());
    state.counters["pages"] = static_cast<double>(pages);
    CPageMntXmlInfo::ResetInstance();
    CDeviceCmdNameMntXmlInfo::ResetInstance();
    CAppContext::ResetInstance();
}
BENCHMARK(OpenModelOffline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer initializer;  // the XML reader needs wxWidgets' base library
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
