// The tree of tabs over the settings pages, read from "maincfg.xml": inner tabs open
// a further row of tabs, leaf tabs show one page. A tab whose page kept no setting
// is dropped, and with it every tab that encloses it.
#pragma once

#include "device/PictureFile.h"

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <vector>

class CPageXmlInfo;
class wxXmlNode;

class CTabPageNodeXmlInfo {
public:
    CTabPageNodeXmlInfo() = default;
    virtual ~CTabPageNodeXmlInfo() = default;

    wxString name;
    CPageXmlInfo* Page = nullptr;
    // The page window the windows made for this tab; it goes with the tab.
    std::shared_ptr<void> PageWindow;
};

class CTabNodeXmlInfo {
public:
    CTabNodeXmlInfo() = default;
    virtual ~CTabNodeXmlInfo() = default;
    CTabNodeXmlInfo(const CTabNodeXmlInfo&) = delete;
    CTabNodeXmlInfo& operator=(const CTabNodeXmlInfo&) = delete;

    // Reads "Config/maincfg.xml" into this node, the root. Pages must be loaded first.
    bool Load();
    // The leaf tab showing the page of that name, depth-first in file order.
    CTabNodeXmlInfo* FindPage(const wxString& pageName);

    const std::vector<std::unique_ptr<CTabNodeXmlInfo>>& GetChildren() const { return m_children; }

    CTabNodeXmlInfo* Parent = nullptr;
    std::unique_ptr<CTabPageNodeXmlInfo> PageNode;
    wxString name;
    wxString langID;
    wxString key;
    int32_t ParentHeight = 30;
    int32_t height = 30;
    wxString icon;
    wxString icons;
    std::unique_ptr<CPictureFile> iconImage;
    std::unique_ptr<CPictureFile> iconsImage;

private:
    bool ReadTabNode(const wxXmlNode& element);
    void ReadAttributes(const wxXmlNode& element);
    bool ReadPageReference(const wxXmlNode& element);
    void Append(std::unique_ptr<CTabNodeXmlInfo> child);

    std::vector<std::unique_ptr<CTabNodeXmlInfo>> m_children;
};
