#include "SimSettingsDatabase.h"

bool CSimSettingsDatabase::Add(const SSimSettingDefinition& definition)
{
    if (definition.name.empty() || m_index.count(definition.name) != 0)
        return false;
    m_index[definition.name] = m_settings.size();
    m_settings.emplace_back(definition);
    return true;
}

CSimSetting* CSimSettingsDatabase::Find(const std::string& name)
{
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_settings[it->second];
}

const CSimSetting* CSimSettingsDatabase::Find(const std::string& name) const
{
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_settings[it->second];
}

void CSimSettingsDatabase::Restart()
{
    for (CSimSetting& setting : m_settings)
        setting.Restart();
}
