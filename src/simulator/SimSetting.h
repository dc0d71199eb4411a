// One setting of the simulated scanner: what the model command file says about it and
// the value it holds now. A value set to keep also survives a power cycle; a
// temporary one is lost there.
#pragma once

#include "SimValueList.h"

#include <string>

struct SSimSettingDefinition {
    std::string name;
    std::string controlType;
    std::string settingsList;
    std::string defaultValue;
    std::string minimum;
    std::string maximum;
    std::string cmdGetLen;
};

class CSimSetting {
public:
    explicit CSimSetting(const SSimSettingDefinition& definition);

    const std::string& Name() const { return m_definition.name; }
    const std::string& Default() const { return m_definition.defaultValue; }
    const std::string& Current() const { return m_current; }
    // Limits and list as the scanner reports them for "^": "a-b", "a-b_list", "list" or "".
    std::string RangeText() const;

    bool Accepts(const std::string& value) const;
    // Sets the value; `keep` also stores it over a power cycle.
    void Set(const std::string& value, bool keep);
    // A power cycle: the kept value comes back.
    void Restart() { m_current = m_kept; }

private:
    bool IsHex() const;
    bool HasDecimalLimits(long& minimum, long& maximum) const;
    bool WithinLimits(const std::string& value) const;

    SSimSettingDefinition m_definition;
    CSimValueList m_list;
    std::string m_current;
    std::string m_kept;
};
