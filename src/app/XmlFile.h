// Reading the program's XML files the one way they are all read: UTF-8, a failed
// load or a malformed file logged with the reader's source name, no partial results.
#pragma once

#include <wx/string.h>
#include <wx/xml/xml.h>

#include <initializer_list>

// Loads `path` and checks that the root element is named `rootName`. Failures are
// logged at error level as "Load <path> ERROR" or "GetRoot ERROR" / "GetName ERROR"
// under `source` and the caller's line (`line` defaults to the line of the call);
// the document is then unusable.
bool LoadXmlFile(wxXmlDocument& document, const wxString& path, const wxString& rootName, const char* source,
                 int line = __builtin_LINE());
// Same, for a file kind whose root went by more than one name over the years.
bool LoadXmlFile(wxXmlDocument& document, const wxString& path, std::initializer_list<const char*> rootNames,
                 const char* source, int line = __builtin_LINE());

// The value of an element: the content of its first child node, or empty.
wxString GetElementValue(const wxXmlNode* element);

// Saves with UTF-8 and an indentation step of 1 through a temporary file, so that a
// failed write never destroys the existing file.
bool SaveXmlFile(const wxXmlDocument& document, const wxString& path);
