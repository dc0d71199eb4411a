#include "Transcript.h"

#include <wx/ffile.h>
#include <wx/log.h>

bool CTranscript::SaveToFile(const wxString& path) const
{
    wxLogNull quiet;  // the caller reports a failure in the user's words
    wxFFile file;
    if (!file.Open(path, "wb"))
        return false;
    bool written = true;
    for (const wxString& line : m_lines)
        written = file.Write(line, wxConvUTF8) && written;
    return file.Close() && written;
}
