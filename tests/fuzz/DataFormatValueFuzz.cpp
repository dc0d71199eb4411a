// A data-format value as a scanner or a file may hold it: the format lines, each unit
// text read back and composed again.
#include "dataformat/DataFormatValue.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string value(reinterpret_cast<const char*>(data), size);
    DataFormatLines(value);
    for (const bool joined : {false, true}) {
        for (const auto& [number, text] : SplitDataFormatValue(value, joined)) {
            if (number < 0 || number > 4)
                std::abort();
            SDataFormatUnit unit;
            if (ParseUnitText(text, joined, unit) && !unit.rules.empty() && ComposeUnitText(unit).empty())
                std::abort();
        }
    }
    return 0;
}
