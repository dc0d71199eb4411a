#include "CliBarcode.h"

#include "BarcodeRequest.h"
#include "BarcodeRender.h"
#include "BarcodeSheetBuilder.h"
#include "CliCommands.h"
#include "CliSupport.h"
#include "CmdNameXmlInfo.h"
#include "DeviceCmdNameMntXmlInfo.h"
#include "DeviceMnt.h"
#include "PageMntXmlInfo.h"
#include "SaveCfg.h"
#include "SheetOutput.h"
#include "UiText.h"

#include "AppContext.h"
#include "HBSCodeMid.h"

#include <wx/filename.h>

namespace {

CDeviceInfo* FindCatalogueModel(const wxString& name)
{
    for (const auto& category : CDeviceMnt::GetInstance().GetCategories()) {
        for (const auto& entry : category->GetDevices()) {
            if (entry.second->m_key.IsSameAs(name, false) || entry.second->m_name.IsSameAs(name, false))
                return entry.second.get();
        }
    }
    return nullptr;
}

// The model's settings as the program shows them offline, for captions and defaults.
bool OpenModelOffline(CDeviceInfo& model)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetCurrentModel(&model);
    engine.SetOnline(false);
    engine.SetSetupCommand(model.m_setupCommand);
    if (!CDeviceCmdNameMntXmlInfo::GetInstance().Load(model.m_link))
        return false;
    return CPageMntXmlInfo::GetInstance().Load();
}

SHistoryEntry EntryOfSetting(const wxString& text)
{
    SHistoryEntry entry;
    entry.command = text.Left(6);
    entry.value = text.Mid(6);
    const CCmdNameXmlInfo* definition = CPageMntXmlInfo::GetInstance().FindCommand(entry.command);
    entry.textId = definition ? definition->langID : wxString();
    entry.defaultName = definition ? definition->FriendlyText : entry.command;
    entry.valueText = definition ? definition->GetValueLabel(entry.value) : entry.value;
    if (entry.valueText.empty())
        entry.valueText = entry.value;
    return entry;
}

bool DiffersFromDefault(const SHistoryEntry& entry)
{
    const CDeviceCmdNameXmlInfo* record = CDeviceCmdNameMntXmlInfo::GetInstance().Find(entry.command);
    return !record || record->Default != entry.value;
}

bool ReadFileEntries(const SBarcodeCliOptions& options, std::vector<SHistoryEntry>& entries)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!engine.LoadFileForSending(wxString::FromUTF8(options.file)))
        return false;
    for (const wxString& text : engine.GetSendList()) {
        SHistoryEntry entry = EntryOfSetting(text);
        if (!options.changedOnly || DiffersFromDefault(entry))
            entries.push_back(entry);
    }
    return true;
}

wxString SymbolFile()
{
    return wxFileName::CreateTempFileName("vostrel-symbol") + ".bmp";
}

EBuildResult BuildSheet(const SBarcodeCliOptions& options, const std::vector<SHistoryEntry>& entries,
                        CBarcodeSheet& sheet, wxString& error)
{
    CBarcodeSheetBuilder builder(sheet, CSaveCfg::GetInstance().GetSetupCommand());
    const wxString text = wxString::FromUTF8(options.commands);
    const bool typed = options.file.empty();
    const wxString symbolFile = options.kind == "all" ? SymbolFile() : wxString();
    EBuildResult result = EBuildResult::Built;
    if (options.kind == "1d")
        result = typed ? builder.BuildLinearFromText(text, SLinearOptions())
                       : (builder.BuildLinearFromHistory(entries, SLinearOptions()), EBuildResult::Built);
    else if (options.kind == "2d")
        result = typed ? builder.BuildBatchFromText(text, SYMBOLOGY_DATAMATRIX, false)
                       : (builder.BuildBatchFromHistory(entries, SYMBOLOGY_DATAMATRIX, false), EBuildResult::Built);
    else
        result = typed ? builder.BuildAllInOneFromText(text, symbolFile)
                       : (builder.BuildAllInOneFromHistory(entries, symbolFile), EBuildResult::Built);
    if (!symbolFile.empty())
        wxRemoveFile(symbolFile);
    // A printed linear sheet names each setting under its barcode, spaced as the
    // program's linear page with its sliders at the left end, so both print alike.
    sheet.showCaption = options.kind == "1d";
    if (options.kind == "1d") {
        sheet.interval = 30;
    } else {
        // The batch and all-in-one pages draw their one symbol square, magnified as
        // their scale sliders start.
        sheet.thumbWidth = sheet.thumbHeight = 32;
        sheet.hScale = sheet.vScale = 4;
    }
    error = builder.GetLastError();
    return result;
}

bool WriteSheet(const CBarcodeSheet& sheet, const SBarcodeCliOptions& options, const wxString& product, wxString& error)
{
    const wxString path = wxString::FromUTF8(options.output);
    const wxString extension = wxFileName(path).GetExt().Lower();
    const SSheetHeader header{GetUiText("ID_BARCODE_SHEET_CLI_TITLE", "Settings barcodes"),
                              wxString::FromUTF8(options.file.empty() ? options.commands : options.file), product};
    const std::vector<wxString> lines = HeaderLines(header, SheetTime());
    if (extension == "pdf")
        return SaveSheetAsPdf(sheet, lines, path, error);
    if (extension == "docx")
        return SaveSheetAsDocx(sheet, lines, path, error);
    return SaveSheetAsPng(sheet, lines, path, error);
}

// The one line a successful run prints: the file and how many barcodes it holds.
void PrintBarcodeResult(std::ostream& out, const SBarcodeCliOptions& options, const CBarcodeSheet& sheet)
{
    out << options.output << "\t" << sheet.GetImages().size() << " "
        << Utf8(GetUiText("ID_CLI_BARCODE_COUNT", "barcodes")) << "\n";
}

bool IsKnownOutput(const std::string& output)
{
    const wxString extension = wxFileName(wxString::FromUTF8(output)).GetExt().Lower();
    return extension == "pdf" || extension == "docx" || extension == "png";
}

}  // namespace

bool ParseBarcodeOptions(const std::vector<std::string>& arguments, SBarcodeCliOptions& options, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--changed") {
            options.changedOnly = true;
            continue;
        }
        std::string* target = argument == "--kind" ? &options.kind : argument == "--model" ? &options.model
                            : argument == "--commands" ? &options.commands : argument == "--file" ? &options.file
                            : argument == "--output" ? &options.output : nullptr;
        if (!target) {
            error = "barcode does not take \"" + argument + "\"";
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        *target = arguments[++i];
    }
    if (options.kind != "1d" && options.kind != "2d" && options.kind != "all")
        error = "--kind is 1d, 2d or all, not \"" + options.kind + "\"";
    else if (options.model.empty())
        error = "barcode needs --model";
    else if (options.commands.empty() == options.file.empty())
        error = "barcode needs either --commands or --file";
    else if (options.changedOnly && options.file.empty())
        error = "--changed only goes with --file";
    else if (!IsKnownOutput(options.output))
        error = "barcode needs --output ending in .pdf, .docx or .png";
    return error.empty();
}

int RunBarcode(const SBarcodeCliOptions& options, std::ostream& out, std::ostream& err)
{
    CDeviceMnt::GetInstance().EnsureLoaded();
    CDeviceInfo* model = FindCatalogueModel(wxString::FromUTF8(options.model));
    if (!model || !OpenModelOffline(*model)) {
        err << "vostrel-cli: " << Utf8(GetUiText("ID_CLI_BARCODE_NO_MODEL", "no catalogue model with readable settings:"))
            << " " << options.model << "\n";
        return CLI_NO_SCANNER;
    }
    std::vector<SHistoryEntry> entries;
    if (!options.file.empty() && !ReadFileEntries(options, entries)) {
        err << "vostrel-cli: " << options.file << " is no configuration file\n";
        return CLI_BAD_FILE;
    }
    InitBCDll();
    CBarcodeSheet sheet;
    wxString error;
    const EBuildResult result = BuildSheet(options, entries, sheet, error);
    if (result == EBuildResult::Refused) {
        err << "vostrel-cli: "
            << Utf8(GetUiText("ID_ERROR_BARCODE2", "barcodes for the FOBSET command are not supported")) << "\n";
        return CLI_USAGE;
    }
    if (result != EBuildResult::Built || sheet.GetImages().empty()) {
        err << "vostrel-cli: " << Utf8(GetUiText("ID_CLI_BARCODE_FAILED", "the barcodes could not be made"))
            << (error.empty() ? "" : ": ") << Utf8(error) << "\n";
        return CLI_REFUSED;
    }
    if (!WriteSheet(sheet, options, model->m_name, error)) {
        err << "vostrel-cli: " << options.output << ": " << Utf8(error) << "\n";
        return CLI_BAD_FILE;
    }
    FreeMemory();
    PrintBarcodeResult(out, options, sheet);
    return CLI_OK;
}
