// The scanner's data formats: what "DFMCAL" clears and the format lines after
// "DFMSET"/"DFMADD" store, what "DFMQCU" and "DFMQFA" report, and the formats run on
// the data of a read before it is sent, with the same rule machine as the tool's preview.
#pragma once

#include "dataformat/DataFormatValue.h"

#include <string>
#include <vector>

class CSimReplyBuilder;

class CSimDataFormats {
public:
    // `command` is the model's data-format command ("DFMSET": one format per number,
    // "DFMADD": a list of formats), empty for a model without data formats.
    // `lengthLimit`: the longest format line taken, 0 for no limit. `current` and
    // `factory` are the texts the model file gives for "DFMQCU" and "DFMQFA": what the
    // scanner reports until formats are written or restored.
    CSimDataFormats(const std::string& command, size_t lengthLimit, const std::string& current = std::string(),
                    const std::string& factory = std::string());
    CSimDataFormats() = default;

    // Answers `name` + `rest` when it is a data-format command; false leaves it to
    // the settings.
    bool Answer(const std::string& name, const std::string& rest, CSimReplyBuilder& builder);

    // What the scanner sends for `data` of the symbology `symbologyCode`: the output
    // of the first stored format that applies to the read and whose rules succeed,
    // else the data as it is. `symbologyName` is what a "symbology name" rule inserts.
    std::string Apply(const std::string& data, int symbologyCode, const std::string& symbologyName) const;
    std::string Apply(const std::string& data, int symbologyCode) const;

    // The value "DFMQCU" reports.
    std::string CurrentValue() const;

private:
    bool Store(const std::string& line);
    // A whole data-format value sent as it stands replaces every format.
    bool StoreValue(const std::string& value);
    void Restore(const std::string& text);
    bool Applies(const SDataFormatUnit& unit, const std::string& data, int symbologyCode) const;

    std::string m_command;
    size_t m_lengthLimit = 0;
    std::vector<SDataFormatUnit> m_units;
    std::string m_factory;
    std::string m_reported;  // the model's text, until the formats change
    bool m_changed = false;
};
