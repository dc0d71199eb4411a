#include "ConnectSequence.h"

#include "SaveCfg.h"
#include "app/Log.h"
#include "app/TaskProgress.h"
#include "device/HBDataStreamMnt.h"
#include "model/DeviceCmdNameMntXmlInfo.h"

#include <wx/ffile.h>


namespace {

// Names the program adds to every connected scanner's map, so that the pages built
// on them (comparison, command center, settings code, batch data) are kept.
const char* const kPseudoCommands[] = {"XMLVSCRT", "DFTVSCRT", "CMDCTR", "SETCOD", "BATCHDATA"};

// The optional copy of everything read, for scripts that start the program with a file.
class CReadLog {
public:
    explicit CReadLog(const wxString& path)
    {
        if (!path.empty() && !m_file.Open(path, "wb"))
            VLOG(LOG_INFO, "cannot write %s", U8(path));
    }
    void Line(const wchar_t* name, const wchar_t* value)
    {
        Write(wxString(name) + "    " + wxString(value) + "\r\n");
    }
    void Separator() { Write("====== \r\n"); }

private:
    void Write(const wxString& text)
    {
        if (m_file.IsOpened())
            m_file.Write(text, wxConvUTF8);
    }
    wxFFile m_file;
};

enum class EListQuery { Current, Default, Range };

// Puts the items of one whole-list reply ("@*", "@&" or "@^") into the command map.
void TakeList(const ReplyItem* items, size_t count, EListQuery kind, CReadLog& log)
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    wxString names;
    for (size_t i = 0; i < count; ++i) {
        const wxString name(items[i].command);
        if (kind == EListQuery::Current) {
            if (name == "DFMSET" || name == "DFMADD")
                engine.SetHasDataFormat(true);
            if (name == "SETUPE" || name == "SETUPN")
                engine.SetSetupCommand(name);
            map.SetCurrentValue(name, items[i].value);
            names += (names.empty() ? "" : ",") + name;
        } else if (kind == EListQuery::Default) {
            map.SetDefaultValue(name, items[i].value);
        } else {
            map.SetRange(name, items[i].value);
        }
        log.Line(items[i].command, items[i].value);
    }
    if (kind == EListQuery::Current)
        engine.SetDeviceCommandList(names);
    if (kind != EListQuery::Range)
        log.Separator();
}

// Asks for one whole list; the items stay valid until the next exchange.
const ReplyItem* AskList(const wchar_t* query, size_t& count)
{
    return CSaveCfg::GetInstance().SendCommand(query, L"", count);
}

void ReadDataFormat()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    if (!engine.HasDataFormat())
        return;
    CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    wxString value;
    engine.SetDataFormatSet(CSaveCfg::QueryCommand("DFMSET*", "", value, "@"));
    const wxString command = engine.GetDataFormatCommand();
    if (CSaveCfg::QueryCommand("DFMQCU", "", value, "@"))
        map.SetCurrentValue(command, value);
    if (CSaveCfg::QueryCommand("DFMQFA", "", value, "@"))
        map.SetDefaultValue(command, value);
}

void AddPseudoCommands()
{
    CDeviceCmdNameMntXmlInfo& map = CDeviceCmdNameMntXmlInfo::GetInstance();
    for (const char* name : kPseudoCommands) {
        map.SetDefaultValue(name, "");
        map.SetCurrentValue(name, "");
        map.SetRange(name, "");
    }
}

}  // namespace

void ReadPayloadLimit()
{
    CSaveCfg& engine = CSaveCfg::GetInstance();
    size_t count = 0;
    const ReplyItem* items = engine.SendCommand(L"@BUFQRY", L"", count);
    for (size_t i = 0; items && i < count; ++i) {
        unsigned long characters = 0;
        if (wxString(items[i].command) == "BUFQRY" && wxString(items[i].value).ToULong(&characters) && characters > 0)
            engine.SetMaxPayload(characters);
    }
}

bool RunConnectSequence(DeviceEntry* entry, const wxString& outputFile)
{
    CDeviceCmdNameMntXmlInfo::GetInstance().Clear();
    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    // Opening and the whole first read are one operation on the line.
    CLineHold hold = link.Line().Take(LineUsers::kConnect);
    // Opening, the three lists, the payload limit and the data format.
    StartTaskProgress(6);
    if (!entry || !link.OpenDevice(entry))
        return false;
    AdvanceTaskProgress();
    CSaveCfg& engine = CSaveCfg::GetInstance();
    engine.SetHasDataFormat(false);

    size_t count = 0;
    const ReplyItem* items = AskList(L"@*", count);
    if (!items) {
        VLOG(LOG_INFO, "%s failed", "@*");
        link.CloseDevice(0);
        return false;
    }
    CReadLog log(outputFile);
    TakeList(items, count, EListQuery::Current, log);
    AdvanceTaskProgress();
    const struct {
        const wchar_t* query;
        EListQuery kind;
    } later[] = {{L"@&", EListQuery::Default}, {L"@^", EListQuery::Range}};
    for (const auto& step : later) {
        items = AskList(step.query, count);
        if (!items) {
            VLOG(LOG_INFO, "%s failed", U8(wxString(step.query)));
            link.CloseDevice(0);
            return false;
        }
        TakeList(items, count, step.kind, log);
        AdvanceTaskProgress();
    }
    ReadPayloadLimit();
    AdvanceTaskProgress();
    ReadDataFormat();
    AdvanceTaskProgress();
    AddPseudoCommands();
    return true;
}
