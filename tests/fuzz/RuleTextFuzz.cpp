// A data-format rule text: the whole-text check, each rule read back into its fields
// and told in words, and the preview run on a read made of the input's tail. The
// first byte says where the rule text ends and the sample read begins.
#include "dataformat/RuleCodec.h"
#include "dataformat/RulePreview.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t split = std::min<size_t>(data[0], size - 1);
    const std::string text(reinterpret_cast<const char*>(data + 1), split);
    const std::string sample(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);
    std::vector<std::string> rules;
    const bool valid = SplitRules(text, rules);
    std::string joined;
    for (const std::string& rule : rules) {
        joined += rule;
        std::vector<std::string> fields;
        if (!ParseRuleFields(rule, CSpecialChars::AsciiPad(), fields))
            std::abort();  // every rule of a valid text reads back
        DescribeRule(rule);
    }
    if (valid && joined != text)
        std::abort();  // the rules are the text, cut
    const SPreviewResult result = RunRules(text, {sample, "Code 128"});
    if (result.ok != valid && result.reason == "invalid rule text")
        std::abort();
    return 0;
}
