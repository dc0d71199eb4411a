#include "KeyPadLayout.h"

#include "app/AppContext.h"
#include "app/XmlFile.h"

#include <wx/filename.h>

#include <algorithm>

namespace {

// The reading is the key pad widget's own; its log lines carry its source name.
const char kSource[] = "KeyBoardCtrl.cpp";

long DecimalAttribute(const wxXmlNode* node, const char* name)
{
    long value = 0;
    node->GetAttribute(name, "0").ToLong(&value);
    return value;
}

SKeyRecord ReadKey(const wxXmlNode* node, int32_t verticalOffset)
{
    SKeyRecord key;
    key.left = static_cast<int32_t>(DecimalAttribute(node, "left"));
    key.top = static_cast<int32_t>(DecimalAttribute(node, "top")) + verticalOffset;
    key.right = key.left + static_cast<int32_t>(DecimalAttribute(node, "width"));
    key.bottom = key.top + static_cast<int32_t>(DecimalAttribute(node, "height"));
    unsigned long code = 0;
    node->GetAttribute("keyValue", "0").ToULong(&code, 16);
    key.keyValue = static_cast<uint32_t>(code);
    key.label = key.label2 = wxString::Format("%02X", key.keyValue & 0xFFu);
    key.bottomText = node->GetAttribute("bottomtext", "");
    return key;
}

wxString LayoutPath(const char* name)
{
    return CAppContext::GetInstance().GetFilePath("Config", wxString("keyboard") + wxFileName::GetPathSeparator() + name);
}

}  // namespace

bool CKeyPadLayout::LoadLayout(const wxString& path, std::vector<SKeyRecord>& keys, size_t& count,
                               int32_t verticalOffset, int32_t& width, int32_t& height)
{
    wxXmlDocument document;
    if (!LoadXmlFile(document, path, "KeyPadData", kSource))
        return false;
    const size_t capacity = count;
    keys.resize(std::max(keys.size(), capacity));
    size_t read = 0;
    for (const wxXmlNode* node = document.GetRoot()->GetChildren(); node && read < capacity; node = node->GetNext()) {
        if (node->GetType() != wxXML_ELEMENT_NODE || node->GetName() != "Data")
            continue;
        keys[read] = ReadKey(node, verticalOffset);
        width = std::max(width, keys[read].right + 2);
        height = std::max(height, keys[read].bottom + 2);
        ++read;
    }
    if (read < capacity)
        count = read;
    return true;
}

wxString CKeyPadLayout::UsLayoutPath()
{
    return LayoutPath("keypad_us.xml");
}

wxString CKeyPadLayout::EuropeanLayoutPath()
{
    return LayoutPath("keypad_European.xml");
}
