#include "TabNodeXmlInfo.h"

#include "PageMntXmlInfo.h"
#include "app/AppContext.h"
#include "app/Log.h"
#include "app/XmlFile.h"

#include <wx/xml/xml.h>

#include <cwchar>

namespace {

int32_t HeightOf(const wxXmlNode& property)
{
    return static_cast<int32_t>(std::wcstol(property.GetAttribute("height", "30").wc_str(), nullptr, 10));
}

wxString ImagePath(const wxString& fileName)
{
    return fileName.empty() ? wxString() : CAppContext::GetInstance().GetFilePath("Images", fileName);
}

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
}

}  // namespace

bool CTabNodeXmlInfo::Load()
{
    wxXmlDocument document;
    const wxString path = CAppContext::GetInstance().GetFilePath("Config", "maincfg.xml");
    if (!LoadXmlFile(document, path, "MainCfg", "TabNodeXmlInfo"))
        return false;
    const wxXmlNode* root = document.GetRoot();
    if (!root->GetChildren()) {
        logout_line(LOG_ERROR, "TabNodeXmlInfo", __LINE__, "%s %s", "GetChildren", "ERROR");
        return false;
    }
    m_children.clear();
    PageNode.reset();
    for (const wxXmlNode* child = root->GetChildren(); child; child = child->GetNext()) {
        if (IsElement(child, "property")) {
            height = HeightOf(*child);
            if (!Parent)
                ParentHeight = height;
        } else if (IsElement(child, "TabNode")) {
            auto tab = std::make_unique<CTabNodeXmlInfo>();
            if (tab->ReadTabNode(*child)) {
                tab->ParentHeight = height;  // top-level tabs have no parent node
                m_children.push_back(std::move(tab));
            }
        }
    }
    return true;
}

void CTabNodeXmlInfo::ReadAttributes(const wxXmlNode& element)
{
    name = element.GetAttribute("name");
    langID = element.GetAttribute("langID");
    key = element.GetAttribute("key");
    icon = ImagePath(element.GetAttribute("icon"));
    icons = ImagePath(element.GetAttribute("icons"));
    if (icons.empty())
        icons = icon;
    if (!icon.empty())
        iconImage = CPictureFile::Load(icon);
    if (!icons.empty())
        iconsImage = CPictureFile::Load(icons);
}

bool CTabNodeXmlInfo::ReadTabNode(const wxXmlNode& element)
{
    if (element.GetName() != "TabNode")
        return false;
    ReadAttributes(element);
    bool pagesFound = true;
    for (const wxXmlNode* child = element.GetChildren(); child; child = child->GetNext()) {
        if (IsElement(child, "TabNode")) {
            auto tab = std::make_unique<CTabNodeXmlInfo>();
            if (tab->ReadTabNode(*child))
                Append(std::move(tab));
        } else if (IsElement(child, "Page")) {
            // A page without settings drops this tab, but the rest is still read.
            if (!ReadPageReference(*child))
                pagesFound = false;
        } else if (IsElement(child, "property")) {
            height = HeightOf(*child);
        }
    }
    return pagesFound;
}

bool CTabNodeXmlInfo::ReadPageReference(const wxXmlNode& element)
{
    auto reference = std::make_unique<CTabPageNodeXmlInfo>();
    reference->name = element.GetAttribute("name");
    reference->Page = reference->name.empty() ? nullptr : CPageMntXmlInfo::GetInstance().FindPage(reference->name);
    if (!reference->Page || !reference->Page->HasCommands())
        return false;
    m_children.clear();
    PageNode = std::move(reference);
    return true;
}

void CTabNodeXmlInfo::Append(std::unique_ptr<CTabNodeXmlInfo> child)
{
    child->Parent = this;
    child->ParentHeight = height;
    m_children.push_back(std::move(child));
}

CTabNodeXmlInfo* CTabNodeXmlInfo::FindPage(const wxString& pageName)
{
    for (const auto& child : m_children) {
        if (child->PageNode && child->PageNode->name == pageName)
            return child.get();
        if (CTabNodeXmlInfo* found = child->FindPage(pageName))
            return found;
    }
    return nullptr;
}
