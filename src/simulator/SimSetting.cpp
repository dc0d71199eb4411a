#include "SimSetting.h"

#include "SimNumber.h"

#include <algorithm>

CSimSetting::CSimSetting(const SSimSettingDefinition& definition)
    : m_definition(definition),
      m_list(definition.settingsList, definition.controlType == "COMBOBOXCUSTOM"),
      m_current(definition.defaultValue),
      m_kept(definition.defaultValue)
{
}

bool CSimSetting::IsHex() const
{
    return m_definition.controlType.compare(0, 7, "HEXEDIT") == 0;
}

bool CSimSetting::HasDecimalLimits(long& minimum, long& maximum) const
{
    return ParseDecimal(m_definition.minimum, minimum) && ParseDecimal(m_definition.maximum, maximum) &&
           minimum <= maximum;
}

std::string CSimSetting::RangeText() const
{
    long minimum = 0;
    long maximum = 0;
    const bool hexLimits = IsHex() && !m_definition.minimum.empty() && !m_definition.maximum.empty();
    if (hexLimits)
        return m_definition.minimum + "-" + m_definition.maximum;
    if (!HasDecimalLimits(minimum, maximum))
        return m_list.Text();
    const std::string range = m_definition.minimum + "-" + m_definition.maximum;
    return m_list.IsEmpty() ? range : range + "_" + m_list.Text();
}

bool CSimSetting::WithinLimits(const std::string& value) const
{
    if (IsHex()) {
        unsigned long long number = 0;
        unsigned long long minimum = 0;
        unsigned long long maximum = 0;
        if (!ParseHex(m_definition.minimum, minimum) || !ParseHex(m_definition.maximum, maximum))
            return ParseHex(value, number);
        return ParseHex(value, number) && number >= minimum && number <= maximum;
    }
    long minimum = 0;
    long maximum = 0;
    if (!HasDecimalLimits(minimum, maximum))
        return m_list.IsEmpty();
    long number = 0;
    long defaultNumber = 0;
    if (ParseDecimal(value, number))
        return number >= minimum && number <= maximum;
    // A text setting (its default is no number) uses its limits for the text's length.
    const bool textSetting = !ParseDecimal(m_definition.defaultValue, defaultNumber);
    const long length = static_cast<long>(value.size());
    return textSetting && length >= minimum && length <= maximum;
}

bool CSimSetting::Accepts(const std::string& value) const
{
    // Control characters would break the framing of the reply.
    if (std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return false;
    return WithinLimits(value) || (!m_list.IsEmpty() && m_list.Contains(value));
}

void CSimSetting::Set(const std::string& value, bool keep)
{
    m_current = value;
    if (keep)
        m_kept = value;
}
