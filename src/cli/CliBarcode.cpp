#include "CliBarcode.h"

#include "CliCommands.h"
#include "CliSupport.h"
#include "app/SafeFile.h"
#include "app/UiText.h"
#include "app/XmlFile.h"
#include "barcode/BarcodeRender.h"
#include "barcode/BarcodeRequest.h"
#include "barcode/BarCodeSettingsXmlInfo.h"
#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/SheetOutput.h"
#include "config/SaveCfg.h"
#include "device/DeviceMnt.h"
#include "model/CmdNameXmlInfo.h"
#include "model/DeviceCmdNameMntXmlInfo.h"
#include "model/PageMntXmlInfo.h"

#include "app/AppContext.h"
#include "barcode/HBSCodeMid.h"

#include <wx/filename.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

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

// The file's settings as barcodes; false with the message on `err` and the exit status.
bool ReadFileEntries(const SBarcodeCliOptions& options, CDeviceInfo& model, std::vector<SHistoryEntry>& entries,
                     std::ostream& err, int& exitCode)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    exitCode = CLI_BAD_FILE;
    if (!LoadFileToSend(options.file)) {
        err << UnreadableFileMessage(options.file);
        return false;
    }
    // A sheet leaves out nothing silently: it is scanned without anyone watching.
    if (!engine.GetRefusedFileSettings().empty()) {
        err << "vostrel-cli: " << options.file << " holds settings no scanner takes: " << RefusedSettingsText() << "\n";
        return false;
    }
    if (!options.force && !model.Matches(engine.GetFileDeviceType(), true)) {
        err << "vostrel-cli: " << options.file << " is for " << OrDash(engine.GetFileDeviceType()) << ", not "
            << Utf8(model.m_name) << " (--force makes the sheet anyway)\n";
        exitCode = CLI_USAGE;
        return false;
    }
    for (const wxString& text : engine.GetSendList()) {
        SHistoryEntry entry = EntryOfSetting(text);
        if (!options.changedOnly || DiffersFromDefault(entry))
            entries.push_back(entry);
    }
    return true;
}

// The all-in-one symbol's picture: the name the system reserved and the picture
// beside it are both removed again.
class CSymbolFile {
public:
    CSymbolFile() : m_reserved(wxFileName::CreateTempFileName("vostrel-symbol")) {}
    ~CSymbolFile()
    {
        if (m_reserved.empty())
            return;
        std::remove(PathBytes(Picture()).c_str());
        std::remove(PathBytes(m_reserved).c_str());
    }
    CSymbolFile(const CSymbolFile&) = delete;
    CSymbolFile& operator=(const CSymbolFile&) = delete;

    wxString Picture() const { return m_reserved + ".bmp"; }

private:
    wxString m_reserved;
};

// The linear codes as the program's linear page draws them: the bars, the text under
// them and its font from barcode.xml.
SLinearOptions LinearOptionsOfProgram()
{
    SLinearOptions linear;
    linear.layout.Load(CBarCodeSettingsXmlInfo::GetDefaultPath());
    linear.showText = linear.layout.Show;
    return linear;
}

EBuildResult BuildSymbols(CBarcodeSheetBuilder& builder, const SBarcodeCliOptions& options,
                          const std::vector<SHistoryEntry>& entries, const wxString& symbolFile)
{
    const wxString text = wxString::FromUTF8(options.commands);
    const bool typed = options.file.empty();
    if (options.kind == "1d") {
        const SLinearOptions linear = LinearOptionsOfProgram();
        if (typed)
            return builder.BuildLinearFromText(text, linear);
        builder.BuildLinearFromHistory(entries, linear);
        return EBuildResult::Built;
    }
    if (options.kind == "2d")
        return typed ? builder.BuildBatchFromText(text, SYMBOLOGY_DATAMATRIX, false, options.split)
                     : builder.BuildBatchFromHistory(entries, SYMBOLOGY_DATAMATRIX, false, options.split);
    return typed ? builder.BuildAllInOneFromText(text, symbolFile, options.split)
                 : builder.BuildAllInOneFromHistory(entries, symbolFile, options.split);
}

EBuildResult BuildSheet(const SBarcodeCliOptions& options, const std::vector<SHistoryEntry>& entries,
                        CBarcodeSheet& sheet, wxString& error, size_t& splitCount)
{
    const wxString setupCommand = CSaveCfg::GetInstance().GetSetupCommand();
    CBarcodeSheetBuilder builder(sheet, setupCommand);
    const std::unique_ptr<CSymbolFile> symbol = options.kind == "all" ? std::make_unique<CSymbolFile>() : nullptr;
    const EBuildResult result = BuildSymbols(builder, options, entries, symbol ? symbol->Picture() : wxString());
    // A printed linear sheet names each setting under its barcode, spaced as the
    // program's linear page with its sliders at the left end, so both print alike.
    sheet.showCaption = options.kind == "1d";
    if (options.kind == "1d") {
        sheet.interval = 30;
    } else {
        // The batch and all-in-one pages draw their one symbol square, magnified as
        // their scale sliders start; the batch page frames it with the setup codes.
        sheet.thumbWidth = sheet.thumbHeight = 32;
        sheet.hScale = sheet.vScale = 4;
        sheet.framed = options.kind == "2d" && !setupCommand.empty() && sheet.LoadFrameImages(setupCommand);
    }
    error = builder.GetLastError();
    splitCount = builder.GetSplitCount();
    return result;
}

bool WriteSheetTo(const CBarcodeSheet& sheet, const SBarcodeCliOptions& options, const wxString& product,
                  const wxString& path, wxString& error)
{
    const wxString extension = wxFileName(PathFromBytes(options.output)).GetExt().Lower();
    const SSheetHeader header{GetUiText("ID_BARCODE_SHEET_CLI_TITLE", "Settings barcodes"),
                              wxString::FromUTF8(options.file.empty() ? options.commands : options.file), product};
    const std::vector<wxString> lines = HeaderLines(header, SheetTime());
    if (extension == "pdf")
        return SaveSheetAsPdf(sheet, lines, path, error);
    if (extension == "docx")
        return SaveSheetAsDocx(sheet, lines, path, error);
    return SaveSheetAsPng(sheet, lines, path, error);
}

// A private folder for the sheet writers, removed with everything in it: they take
// wxWidgets names, which cannot spell every name the system allows, and leave
// ".part" files when they fail.
class CSheetFolder {
public:
    CSheetFolder()
    {
        std::string pattern = PathBytes(wxFileName::GetTempDir()) + "/vostrel-sheet-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~CSheetFolder()
    {
        if (m_path.empty())
            return;
        wxFileName::Rmdir(PathFromBytes(m_path), wxPATH_RMDIR_RECURSIVE);
    }
    CSheetFolder(const CSheetFolder&) = delete;
    CSheetFolder& operator=(const CSheetFolder&) = delete;

    bool IsOk() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// The sheet is made in a private folder and then goes through the one safe writer:
// only a regular file (or a link's target) is replaced, keeping its mode, and a
// failure leaves nothing behind.
bool WriteSheet(const CBarcodeSheet& sheet, const SBarcodeCliOptions& options, const wxString& product, std::string& error)
{
    CSheetFolder folder;
    if (!folder.IsOk()) {
        error = "cannot make a working folder for " + options.output;
        return false;
    }
    const std::string made = folder.Path() + "/sheet." + Utf8(wxFileName(PathFromBytes(options.output)).GetExt().Lower());
    wxString reason;
    if (!WriteSheetTo(sheet, options, product, PathFromBytes(made), reason)) {
        error = "cannot write " + options.output + (reason.empty() ? std::string() : ": " + Utf8(reason));
        return false;
    }
    // A sheet of the largest model is a few megabytes; the cap only guards the copy.
    std::string bytes;
    return ReadInputFile(made, 1ull << 30, bytes, error) && WriteFileSafely(options.output, bytes, error);
}

// The one line a successful run prints: the file and how many barcodes it holds.
void PrintBarcodeResult(std::ostream& out, const SBarcodeCliOptions& options, const CBarcodeSheet& sheet)
{
    out << options.output << "\t" << sheet.GetImages().size() << " "
        << Utf8(GetUiText("ID_CLI_BARCODE_COUNT", "barcodes")) << "\n";
}

bool IsKnownOutput(const std::string& output)
{
    const wxString extension = wxFileName(PathFromBytes(output)).GetExt().Lower();
    return extension == "pdf" || extension == "docx" || extension == "png";
}

}  // namespace

bool ParseBarcodeOptions(const std::vector<std::string>& arguments, SBarcodeCliOptions& options, std::string& error)
{
    std::set<std::string> seen;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!seen.insert(argument).second) {
            error = argument + " is given twice";
            return false;
        }
        if (bool* flag = argument == "--changed" ? &options.changedOnly : argument == "--force" ? &options.force
                       : argument == "--split" ? &options.split : nullptr) {
            *flag = true;
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
        if (target->empty()) {
            error = argument + " needs a value that is not empty";
            return false;
        }
    }
    if (options.kind != "1d" && options.kind != "2d" && options.kind != "all")
        error = "--kind is 1d, 2d or all, not \"" + options.kind + "\"";
    else if (options.model.empty())
        error = "barcode needs --model";
    else if (options.commands.empty() && options.file.empty())
        error = "barcode needs --commands or --file";
    else if (!options.commands.empty() && !options.file.empty())
        error = "barcode takes --commands or --file, not both";
    else if (options.changedOnly && options.file.empty())
        error = "--changed only goes with --file";
    else if (options.split && options.kind == "1d")
        error = "--split only goes with --kind 2d or all";
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
    int exitCode = CLI_OK;
    if (!options.file.empty() && !ReadFileEntries(options, *model, entries, err, exitCode))
        return exitCode;
    if (!options.file.empty() && IsSameFile(options.file, options.output)) {
        err << "vostrel-cli: --output " << options.output << " is the --file itself; it is kept\n";
        return CLI_USAGE;
    }
    std::string target;
    std::string problem;
    if (!ResolveWriteTarget(options.output, target, problem)) {
        err << "vostrel-cli: " << problem << "\n";
        return CLI_BAD_FILE;
    }
    InitBCDll();
    CBarcodeSheet sheet;
    wxString error;
    size_t splitCount = 0;
    const EBuildResult result = BuildSheet(options, entries, sheet, error, splitCount);
    if (result == EBuildResult::Refused) {
        err << "vostrel-cli: "
            << Utf8(GetUiText("ID_ERROR_BARCODE2", "不支持生成FOBSET指令条码，请修改后再重新生成!")) << "\n";
        return CLI_USAGE;
    }
    if (result == EBuildResult::TooLong) {
        err << "vostrel-cli: "
            << Utf8(wxString::Format(GetUiText("ID_CLI_BARCODE_TOO_LONG",
                                               "这些设置一个条码放不下；加 --split 可分成%u个条码"),
                                     static_cast<unsigned>(splitCount)))
            << "\n";
        return options.file.empty() ? CLI_USAGE : CLI_BAD_FILE;
    }
    // What could not be made came from the command line or the file: bad input, not
    // a refusing scanner.
    if (result != EBuildResult::Built || sheet.GetImages().empty()) {
        err << "vostrel-cli: " << Utf8(GetUiText("ID_CLI_BARCODE_FAILED", "the barcodes could not be made"))
            << (error.empty() ? "" : ": ") << Utf8(error) << "\n";
        return options.file.empty() ? CLI_USAGE : CLI_BAD_FILE;
    }
    if (!WriteSheet(sheet, options, model->m_name, problem)) {
        err << "vostrel-cli: " << problem << "\n";
        return CLI_BAD_FILE;
    }
    FreeMemory();
    PrintBarcodeResult(out, options, sheet);
    return CLI_OK;
}
