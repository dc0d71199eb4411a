#include "SimDataFormats.h"

#include "SimReplyBuilder.h"
#include "dataformat/RuleCodec.h"
#include "dataformat/RulePreview.h"

#include <algorithm>

namespace {

constexpr int kAnySymbology = 999;
constexpr int kAnyLength = 9999;

std::vector<std::string> SplitAtBars(const std::string& text)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        pieces.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

bool IsQuery(const std::string& rest)
{
    return rest.empty() || rest == "*" || rest == "&" || rest == "^";
}

}  // namespace

CSimDataFormats::CSimDataFormats(const std::string& command, size_t lengthLimit, const std::string& current,
                                 const std::string& factory)
    : m_command(command), m_lengthLimit(lengthLimit), m_factory(factory)
{
    Restore(current);
}

void CSimDataFormats::Restore(const std::string& text)
{
    m_units.clear();
    m_reported = text;
    m_changed = false;
    for (const auto& [number, unitText] : SplitDataFormatValue(text, m_command == "DFMADD")) {
        SDataFormatUnit unit;
        std::vector<std::string> rules;
        if (number < 4 && ParseUnitText(unitText, true, unit) && SplitRules(unit.rules, rules))
            m_units.push_back(unit);
    }
}

bool CSimDataFormats::StoreValue(const std::string& value)
{
    CSimDataFormats parsed(m_command, m_lengthLimit);
    for (const std::string& line : DataFormatLines(value)) {
        if (!parsed.Store(line))
            return false;
    }
    m_units = parsed.m_units;
    m_changed = true;
    return true;
}

bool CSimDataFormats::Answer(const std::string& name, const std::string& rest, CSimReplyBuilder& builder)
{
    if (m_command.empty())
        return false;
    if (name == "DFMCAL") {
        m_units.clear();
        m_changed = true;
        builder.Add(name, rest, kSimAck);
    } else if (name == "DFMDEF") {
        Restore(m_factory);
        builder.Add(name, rest, kSimAck);
    } else if (name == "DFMQCU") {
        builder.Add(name, CurrentValue(), kSimAck);
    } else if (name == "DFMQFA") {
        builder.Add(name, m_factory.empty() ? ComposeDataFormatValue({}) : m_factory, kSimAck);
    } else if (name == m_command && IsQuery(rest)) {
        builder.Add(name, rest == "&" ? m_factory : CurrentValue(), kSimAck);
    } else if (name == m_command) {
        const bool wholeValue = rest.find("Data Format") != std::string::npos;
        builder.Add(name, rest, (wholeValue ? StoreValue(rest) : Store(rest)) ? kSimAck : kSimNak);
    } else {
        return false;
    }
    return true;
}

bool CSimDataFormats::Store(const std::string& line)
{
    const bool list = m_command == "DFMADD";
    std::vector<SDataFormatUnit> units;
    for (const std::string& text : list ? SplitAtBars(line) : std::vector<std::string>{line}) {
        SDataFormatUnit unit;
        std::vector<std::string> rules;
        if ((m_lengthLimit != 0 && text.size() > m_lengthLimit) || !ParseUnitText(text, true, unit) ||
            unit.rules.empty() || !SplitRules(unit.rules, rules))
            return false;
        units.push_back(unit);
    }
    for (const SDataFormatUnit& unit : units) {
        if (!list) {
            m_units.erase(std::remove_if(m_units.begin(), m_units.end(),
                                         [&unit](const SDataFormatUnit& held) { return held.number == unit.number; }),
                          m_units.end());
        }
        m_units.push_back(unit);
    }
    m_changed = true;
    return true;
}

std::string CSimDataFormats::CurrentValue() const
{
    return m_changed || m_reported.empty() ? ComposeDataFormatValue(m_units) : m_reported;
}

bool CSimDataFormats::Applies(const SDataFormatUnit& unit, const std::string& data, int symbologyCode) const
{
    const bool anySymbology = IsSymbologyCode(unit.symbology, std::to_string(kAnySymbology));
    const bool symbology = anySymbology || IsSymbologyCode(unit.symbology, std::to_string(symbologyCode));
    const bool length = unit.length == kAnyLength || static_cast<size_t>(unit.length) == data.size();
    return symbology && length;
}

std::string CSimDataFormats::Apply(const std::string& data, int symbologyCode, const std::string& symbologyName) const
{
    std::vector<const SDataFormatUnit*> order;
    for (const SDataFormatUnit& unit : m_units)
        order.push_back(&unit);
    std::stable_sort(order.begin(), order.end(),
                     [](const SDataFormatUnit* a, const SDataFormatUnit* b) { return a->number < b->number; });
    for (const SDataFormatUnit* unit : order) {
        if (!Applies(*unit, data, symbologyCode))
            continue;
        const SPreviewResult result = RunRules(unit->rules, {data, symbologyName});
        if (result.ok)
            return result.output;
    }
    return data;
}

std::string CSimDataFormats::Apply(const std::string& data, int symbologyCode) const
{
    return Apply(data, symbologyCode, std::to_string(symbologyCode));
}
