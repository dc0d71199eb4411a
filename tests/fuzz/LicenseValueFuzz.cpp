// The licence field value as a setting holds it: any text is read without harm, and
// a value that reads is written back to one that reads to the same selection.
#include "FuzzHarness.h"
#include "dlicense/LicenseCode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzProgramDirectory();
    CLicenseCode code;
    if (!code.ReadValue(FuzzText(data, size))) {
        // A value that does not read leaves nothing selected.
        if (!code.entries.empty() || code.advancedFormatting || code.elementExtraction)
            std::abort();
        return 0;
    }
    // The length field has three digits; longer streams cannot be told back.
    if (code.ByteStream().size() > 999)
        return 0;
    CLicenseCode again;
    if (!again.ReadValue(code.ValueText()) || !(again.entries == code.entries) ||
        again.advancedFormatting != code.advancedFormatting || again.elementExtraction != code.elementExtraction ||
        again.extraText != code.extraText)
        std::abort();
    return 0;
}
