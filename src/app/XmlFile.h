// Reading the program's XML files the one way they are all read: UTF-8, a failed
// load or a malformed file logged with the reader's source name, no partial results.
#pragma once

#include <wx/string.h>
#include <wx/xml/xml.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// The bounds every XML file of the program keeps: the shipped files are far below
// them, and a file beyond them is refused before any tree is built, since the
// tree's size and its recursive clean-up follow the file.
constexpr uint64_t kMaxXmlFileBytes = 4u << 20;
constexpr int kMaxXmlDepth = 64;
constexpr size_t kMaxXmlElements = 200000;

// True when `bytes` is well-formed XML within the depth and element bounds; otherwise
// `why` (when given) says which of these it is not.
bool IsBoundedXml(const std::string& bytes, std::string* why = nullptr);

// A file name as the system has it (bytes, not necessarily UTF-8) and back: every
// byte survives the way there and back, so a name that is no UTF-8 still opens.
wxString PathFromBytes(const std::string& bytes);
std::string PathBytes(const wxString& path);

// Loads `path` and checks that the root element is named `rootName`. Failures are
// logged at error level as "Load <path> ERROR" or "GetRoot ERROR" / "GetName ERROR"
// under `source` and the caller's line (`line` defaults to the line of the call);
// the document is then unusable.
bool LoadXmlFile(wxXmlDocument& document, const wxString& path, const wxString& rootName, const char* source,
                 int line = __builtin_LINE());
// Same, for a file kind whose root went by more than one name over the years.
bool LoadXmlFile(wxXmlDocument& document, const wxString& path, std::initializer_list<const char*> rootNames,
                 const char* source, int line = __builtin_LINE());

// Why the last LoadXmlFile of this thread could not read its file (too large, too
// deep, no regular file); empty when the reason is in the log only.
const wxString& GetLastXmlLoadError();

// The value of an element: the content of its first child node, or empty.
wxString GetElementValue(const wxXmlNode* element);

// Saves with UTF-8 and an indentation step of 1 through WriteFileSafely, so that a
// failed write never destroys the existing file and only a regular file is replaced.
// `error` says why it could not.
bool SaveXmlFile(const wxXmlDocument& document, const wxString& path, wxString& error);
bool SaveXmlFile(const wxXmlDocument& document, const wxString& path);
