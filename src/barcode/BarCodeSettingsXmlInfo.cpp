#include "BarCodeSettingsXmlInfo.h"

#include "app/AppContext.h"
#include "app/Log.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

namespace {

const char* const kSource = "BarCodeXmlSettings";

// The value, or `fallback` when it lies outside [low, high].
int32_t Accepted(long value, long low, long high, int32_t fallback)
{
    return value >= low && value <= high ? static_cast<int32_t>(value) : fallback;
}

}  // namespace

wxString CBarCodeSettingsXmlInfo::GetDefaultPath()
{
    return CAppContext::GetInstance().GetFilePath("Config", "barcode.xml");
}

bool CBarCodeSettingsXmlInfo::Load(const wxString& path)
{
    *this = CBarCodeSettingsXmlInfo();
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "setting", kSource))
        return false;
    const wxXmlNode* child = document.GetRoot()->GetChildren();
    if (!child) {
        logout_line(LOG_ERROR, kSource, __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }
    // D1 is looked for among the children rather than taken as the first, so a
    // comment or another element before it does no harm.
    while (child && !(child->GetType() == wxXML_ELEMENT_NODE && child->GetName() == "D1"))
        child = child->GetNext();
    for (const wxXmlNode* item = child ? child->GetChildren() : nullptr; item; item = item->GetNext()) {
        long value = 0;
        if (item->GetType() == wxXML_ELEMENT_NODE && GetElementValue(item).Trim().Trim(false).ToLong(&value))
            TakeValue(item->GetName(), value);
    }
    return true;
}

void CBarCodeSettingsXmlInfo::TakeValue(const wxString& name, long value)
{
    const long kNoLimit = 0x7FFFFFFF;
    if (name == "D1Height")
        D1Height = Accepted(value, 1, kNoLimit, 254);
    else if (name == "D1Width")
        D1Width = Accepted(value, 1, kNoLimit, 6);
    else if (name == "FontWidth")
        FontWidth = Accepted(value, 1, kNoLimit, 24);
    else if (name == "FontHeight")
        FontHeight = Accepted(value, 1, 400, 60);
    else if (name == "fnWeight")
        fnWeight = Accepted(value, 100, 900, 400);
    else if (name == "show")
        Show = value == 1;
}
