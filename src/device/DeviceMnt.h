// The catalogue of scanner models the program knows, read from "devicesinfo.xml".
#pragma once

#include "DeviceCategory.h"

#include <memory>
#include <vector>

class CDeviceMnt {
public:
    static CDeviceMnt& GetInstance();
    static void ResetInstance();

    // Reads "Config/devicesinfo.xml"; a repeated load rebuilds the catalogue. A broken
    // file leaves it empty.
    bool Load();
    bool IsLoaded() const { return m_loaded; }
    // Loads unless a load has succeeded; later calls keep what is there.
    void EnsureLoaded();

    const std::vector<std::unique_ptr<CDeviceCategory>>& GetCategories() const { return m_categories; }

    // A new record for a connected scanner: its model, or the first model as an
    // unknown device. Null when the catalogue has no model at all.
    std::unique_ptr<CDeviceInfo> MatchDevice(const wxString& productName);

    static wxString GetFilePath();

private:
    CDeviceMnt() = default;

    std::vector<std::unique_ptr<CDeviceCategory>> m_categories;
    bool m_loaded = false;

    static std::unique_ptr<CDeviceMnt> s_instance;
};
