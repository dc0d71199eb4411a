// The settings of the simulated scanner, in the order of its model command file.
#pragma once

#include "SimSetting.h"

#include <map>
#include <string>
#include <vector>

class CSimSettingsDatabase {
public:
    // Adds a setting; false (and nothing changes) when its name is already there.
    bool Add(const SSimSettingDefinition& definition);
    CSimSetting* Find(const std::string& name);
    const CSimSetting* Find(const std::string& name) const;
    const std::vector<CSimSetting>& All() const { return m_settings; }
    size_t Count() const { return m_settings.size(); }
    // A power cycle: every temporary value is lost.
    void Restart();

private:
    std::vector<CSimSetting> m_settings;
    std::map<std::string, size_t> m_index;
};
