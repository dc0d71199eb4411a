// The rules behind every file the user opens or saves: the name proposed, the
// extension added for the chosen file type, and the folder the dialog starts in.
#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

// "<model>_<YYYY-MM-DD>.<extension>": the model says what the file belongs to, the
// date keeps files of different days apart. Characters no file system takes become
// "_"; no model gives "Vostrel". No extension: the name ends after the date.
wxString ProposedFileName(const wxString& model, const wxDateTime& date, const wxString& extension);

// The extension (without dot) of the first pattern of entry `index` of a dialog filter
// ("Text (*.txt)|*.txt|..."); empty for "*.*", "*" or an index past the end.
wxString FilterExtension(const wxString& filter, int index);

// `path` with ".<extension>" added when its name has none; unchanged otherwise.
wxString WithDefaultExtension(const wxString& path, const wxString& extension);

// The folder last used when it still exists, otherwise `documents` when that exists
// (a desktop without one may still name it), otherwise `home`.
wxString StartFolder(const wxString& remembered, const wxString& documents, const wxString& home);
