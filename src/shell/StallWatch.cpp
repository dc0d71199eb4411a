#include "StallWatch.h"

#include <wx/datetime.h>

#include <cstdlib>

wxString CStallWatch::s_activity;

void CStallWatch::SetActivity(const wxString& activity)
{
    s_activity = activity;
}

CStallWatch::CStallWatch(const wxString& logPath) : m_lastTick(Clock::now())
{
    if (!logPath.empty())
        m_log.Open(logPath, "a");
    m_timer.Bind(wxEVT_TIMER, &CStallWatch::OnTick, this);
    m_timer.Start(kTickMs);
    wxEvtHandler::AddFilter(this);
}

CStallWatch::~CStallWatch()
{
    wxEvtHandler::RemoveFilter(this);
    m_timer.Stop();
}

CStallWatch* CStallWatch::FromEnvironment()
{
    const char* path = std::getenv("VOSTREL_STALL_LOG");
    return path && *path ? new CStallWatch(wxString::FromUTF8(path)) : nullptr;
}

void CStallWatch::Reset()
{
    m_longestMs = 0;
    m_longestWhat.clear();
    m_lastTick = Clock::now();
}

int CStallWatch::FilterEvent(wxEvent& event)
{
    if (event.GetEventObject() != &m_timer) {
        m_lastType = event.GetEventType();
        const wxObject* object = event.GetEventObject();
        m_lastClass = object && object->GetClassInfo() ? object->GetClassInfo()->GetClassName() : nullptr;
    }
    return Event_Skip;
}

wxString CStallWatch::LastEventText() const
{
    wxString text = wxString::Format("event %d from %s", static_cast<int>(m_lastType), m_lastClass ? m_lastClass : wxT("?"));
    if (!s_activity.empty())
        text += " during " + s_activity;
    return text;
}

void CStallWatch::OnTick(wxTimerEvent&)
{
    const Clock::time_point now = Clock::now();
    const long late = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastTick).count()) -
                      kTickMs;
    m_lastTick = now;
    if (late <= 0)
        return;
    if (late > m_longestMs) {
        m_longestMs = late;
        m_longestWhat = LastEventText();
    }
    if (late > kReportMs && m_log.IsOpened()) {
        m_log.Write(wxString::Format("%s stall %ld ms after %s\n", wxDateTime::UNow().Format("%Y-%m-%d %H:%M:%S.%l"), late, LastEventText()));
        m_log.Flush();
    }
}
