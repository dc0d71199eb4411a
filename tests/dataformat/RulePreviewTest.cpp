#include "dataformat/RulePreview.h"

#include <gtest/gtest.h>

namespace {

struct SPreviewCase {
    const char* name;
    const char* rules;
    const char* data;
    bool ok;
    std::string output;
};

class RulePreviewTest : public testing::TestWithParam<SPreviewCase> {};

TEST_P(RulePreviewTest, RulesTurnTheReadIntoWhatIsSent)
{
    const SPreviewCase& c = GetParam();
    const SPreviewResult result = RunRules(c.rules, {c.data, "EAN-13"});
    EXPECT_EQ(c.ok, result.ok) << result.reason;
    EXPECT_EQ(c.output, result.output);
}

INSTANTIATE_TEST_SUITE_P(
    RuleFamilies, RulePreviewTest,
    testing::Values(
        SPreviewCase{"SendAllThenCr", "F10D", "1234", true, "1234\r"},
        SPreviewCase{"SendCountThenChar", "F2032DF10D", "123456", true, "123-456\r"},
        SPreviewCase{"SendCountPastEndFails", "F20541", "1234", false, ""},
        SPreviewCase{"SendUpToChar", "F32F2CF10D", "ab/cd", true, "ab,/cd\r"},
        SPreviewCase{"SendBeforeString", "B900026364", "abcdef", true, "ab"},
        SPreviewCase{"SendBeforeMissingStringFails", "B900027879", "abcdef", false, ""},
        SPreviewCase{"SendAllButLast", "E902", "123456", true, "1234"},
        SPreviewCase{"SendCharTimes", "F42A03F10D", "9", true, "***9\r"},
        SPreviewCase{"InsertSymbologyAndLength", "B3F13AB4", "12345", true, "EAN-1312345:5"},
        SPreviewCase{"SearchForwardChar", "F82DF10D", "ab-cd", true, "-cd\r"},
        SPreviewCase{"SearchForwardMissingFails", "F82DF10D", "abcd", false, ""},
        SPreviewCase{"SearchForwardNonMatching", "E630F10D", "0012", true, "12\r"},
        SPreviewCase{"SearchForwardDigit", "ECE902", "ab12cd", true, "12"},
        SPreviewCase{"SearchBackwardChar", "EAF92DF10D", "a-b-c", true, "-c\r"},
        SPreviewCase{"SearchBackwardNonMatching", "EAE730F10D", "1200", true, "200\r"},
        SPreviewCase{"SearchBackwardString", "EAB100022D2DF10D", "a--b--c", true, "--c\r"},
        SPreviewCase{"SearchForwardNonDigit", "EDF100", "12ab", true, std::string("ab\0", 3)},
        SPreviewCase{"MoveForwardAndBack", "F503F601F10D", "abcdef", true, "cdef\r"},
        SPreviewCase{"MovePastEndFails", "F509", "abc", false, ""},
        SPreviewCase{"CompareSkipsMatch", "FE30F10D", "0123", true, "123\r"},
        SPreviewCase{"CompareMismatchFails", "FE31F10D", "0123", false, ""},
        SPreviewCase{"CompareStringSkips", "B200024142E900", "AB12", true, "12"},
        // Suppress and replace act on what is sent afterwards
        SPreviewCase{"SuppressChars", "FB022D20E900", "a-b c", true, "abc"},
        SPreviewCase{"ReplaceChars", "E4022D2FE900", "a-b-c", true, "a/b/c"},
        SPreviewCase{"ReplaceStringOnce", "BA01026162017AE900", "abab", true, "zab"},
        SPreviewCase{"ReplaceStringTwice", "BA020261620178E900", "ababab", true, "xxab"},
        SPreviewCase{"InvalidTextIsRefused", "F10", "abc", false, ""}),
    [](const testing::TestParamInfo<SPreviewCase>& param) { return std::string(param.param.name); });

// A key stroke is a modifier and a USB key code: it sends what the key types and is
// shown by its name, never as the character of its code's byte; a rule's description
// names its characters and keys.
TEST(RulePreviewKeysTest, KeyStrokesAreShownAsKeysAndSendWhatTheyTypeAndRulesAreDescribedByName)
{
    const struct {
        const char* rules;
        std::string output;
        std::string shown;
    } cases[] = {{"F100B5010028", std::string("12\0\r", 4), "12[NUL][Enter]"},
                 {"B5020204000B", "Ah", "Ah"},
                 {"B501022B", "\t", "[Shift+Tab]"},
                 {"B5030106001E021E", "1!", "[Ctrl+C]1!"},
                 {"B501003A", "", "[F1]"},
                 {"FB0141B5010204", "A", "A"}};
    for (const auto& c : cases) {
        const SPreviewResult result = RunRules(c.rules, {"12", "EAN-13"});
        EXPECT_TRUE(result.ok) << c.rules;
        EXPECT_EQ(c.output, result.output) << c.rules;
        EXPECT_EQ(c.shown, result.shown) << c.rules;
    }
    EXPECT_EQ("insert 2 key strokes: [Enter] A", DescribeRule("B50200280204"));
    EXPECT_EQ("send all remaining characters, then [CR]", DescribeRule("F10D"));
    EXPECT_EQ("replace \"a\" by \"bc\" 2 times", DescribeRule("BA020161026263"));
    EXPECT_EQ("wait 100 ms", DescribeRule("EF0020"));
    EXPECT_EQ("not a rule", DescribeRule("F10DB3"));
}

}  // namespace
