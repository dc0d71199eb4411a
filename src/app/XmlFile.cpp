#include "XmlFile.h"

#include "Log.h"
#include "SafeFile.h"

#include <expat.h>

#include <algorithm>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

namespace {

struct SXmlBounds {
    XML_Parser parser = nullptr;
    int depth = 0;
    size_t elements = 0;
    bool exceeded = false;
    std::string why;
};

void XMLCALL OnElementStart(void* data, const XML_Char*, const XML_Char**)
{
    auto* bounds = static_cast<SXmlBounds*>(data);
    const bool deep = ++bounds->depth > kMaxXmlDepth;
    if (deep || ++bounds->elements > kMaxXmlElements) {
        bounds->exceeded = true;
        bounds->why = deep ? "it nests deeper than " + std::to_string(kMaxXmlDepth) + " elements"
                           : "it holds more than " + std::to_string(kMaxXmlElements) + " elements";
        XML_StopParser(bounds->parser, XML_FALSE);
    }
}

void XMLCALL OnElementEnd(void* data, const XML_Char*)
{
    --static_cast<SXmlBounds*>(data)->depth;
}

wxString& LastLoadError()
{
    static thread_local wxString error;
    return error;
}

// wxConvFileName reads a byte that is no UTF-8 as Latin-1 and writes it back as
// UTF-8, another name; mapping such bytes into the private-use area keeps them.
const wxMBConvUTF8& PathConversion()
{
    static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conversion;
}

}  // namespace

wxString PathFromBytes(const std::string& bytes)
{
    return wxString(bytes.c_str(), PathConversion());
}

std::string PathBytes(const wxString& path)
{
    const wxCharBuffer bytes = path.mb_str(PathConversion());
    return bytes.data() ? std::string(bytes.data()) : std::string();
}

const wxString& GetLastXmlLoadError()
{
    return LastLoadError();
}

bool IsBoundedXml(const std::string& bytes, std::string* why)
{
    // A streaming pass of the parser wxWidgets itself uses: it keeps no tree, so
    // depth and element count are known before wxXmlDocument builds one.
    SXmlBounds bounds;
    bounds.parser = XML_ParserCreate(nullptr);
    if (!bounds.parser)
        return false;
    XML_SetUserData(bounds.parser, &bounds);
    XML_SetElementHandler(bounds.parser, OnElementStart, OnElementEnd);
    const XML_Status status = XML_Parse(bounds.parser, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
    if (why && !bounds.exceeded && status != XML_STATUS_OK)
        bounds.why = std::string("it is no well-formed XML (line ") + std::to_string(XML_GetCurrentLineNumber(bounds.parser)) +
                     ": " + XML_ErrorString(XML_GetErrorCode(bounds.parser)) + ")";
    XML_ParserFree(bounds.parser);
    if (why)
        *why = bounds.why;
    return status == XML_STATUS_OK && !bounds.exceeded;
}

bool LoadXmlFile(wxXmlDocument& document, const wxString& path, const wxString& rootName, const char* source,
                 int line)
{
    return LoadXmlFile(document, path, {static_cast<const char*>(rootName.utf8_str())}, source, line);
}

bool LoadXmlFile(wxXmlDocument& document, const wxString& path, std::initializer_list<const char*> rootNames,
                 const char* source, int line)
{
    wxLogNull quiet;  // the reader reports through the log, never through pop-ups
    std::string bytes;
    std::string error;
    bool loaded = ReadInputFile(PathBytes(path), kMaxXmlFileBytes, bytes, error);
    if (loaded && !IsBoundedXml(bytes, &error))
        loaded = false;
    if (loaded) {
        wxMemoryInputStream in(bytes.data(), bytes.size());
        loaded = document.Load(in, "UTF-8");
    }
    LastLoadError() = wxString::FromUTF8(error);
    if (!loaded) {
        logout_line(LOG_ERROR, source, line, "%s %s %s", "Load", U8(path), "ERROR");
        return false;
    }
    const wxXmlNode* root = document.GetRoot();
    if (!root) {
        LastLoadError() = "it holds no element";
        logout_line(LOG_ERROR, source, line, "%s %s", "GetRoot", "ERROR");
        return false;
    }
    const wxString rootName = root->GetName();
    if (std::none_of(rootNames.begin(), rootNames.end(), [&](const char* name) { return rootName == wxString::FromUTF8(name); })) {
        const wxString expected = rootNames.size() == 0 ? wxString() : wxString::FromUTF8(*rootNames.begin());
        LastLoadError() = "its first element <" + rootName + "> is not <" + expected + ">";
        logout_line(LOG_ERROR, source, line, "%s %s", "GetName", "ERROR");
        return false;
    }
    return true;
}

wxString GetElementValue(const wxXmlNode* element)
{
    const wxXmlNode* child = element ? element->GetChildren() : nullptr;
    return child ? child->GetContent() : wxString();
}

bool SaveXmlFile(const wxXmlDocument& document, const wxString& path, wxString& error)
{
    wxLogNull quiet;
    wxMemoryOutputStream out;
    if (!document.Save(out, 1)) {
        error = "the document could not be put into words";
        return false;
    }
    std::string bytes(out.GetSize(), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    std::string reason;
    if (!WriteFileSafely(PathBytes(path), bytes, reason)) {
        error = wxString::FromUTF8(reason);
        return false;
    }
    return true;
}

bool SaveXmlFile(const wxXmlDocument& document, const wxString& path)
{
    wxString unused;
    return SaveXmlFile(document, path, unused);
}
