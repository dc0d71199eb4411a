#include "dataformat/DataFormatValue.h"
#include "dataformat/RuleCodec.h"

#include <gtest/gtest.h>

namespace {

struct SEncodeCase {
    const char* code;
    std::vector<std::string> fields;
    EEncodeStatus status;
    const char* rule;
};

class EncodeRuleTest : public testing::TestWithParam<SEncodeCase> {};

TEST_P(EncodeRuleTest, FieldsGiveTheRuleTextOrAreRefused)
{
    const SEncodeCase& c = GetParam();
    const SRuleDefinition* definition = FindRuleDefinition(c.code);
    ASSERT_NE(nullptr, definition);
    const SEncodedRule encoded = EncodeRule(*definition, c.fields, CSpecialChars::AsciiPad());
    EXPECT_EQ(c.status, encoded.status);
    EXPECT_EQ(c.rule, encoded.rule);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, EncodeRuleTest,
    testing::Values(SEncodeCase{"F1", {","}, EEncodeStatus::Ok, "F12C"},
                    SEncodeCase{"F1", {"[ CR"}, EEncodeStatus::Ok, "F15B"},
                    SEncodeCase{"F2", {"123", "A"}, EEncodeStatus::LimitOverrun, ""},
                    SEncodeCase{"F3", {"-", "[ HT]"}, EEncodeStatus::Ok, "F32D09"},
                    SEncodeCase{"F4", {"*", "7"}, EEncodeStatus::Ok, "F42A07"},
                    SEncodeCase{"E9", {"3"}, EEncodeStatus::Ok, "E903"},
                    SEncodeCase{"E9", {"100"}, EEncodeStatus::LimitOverrun, ""},
                    SEncodeCase{"EF", {"10000"}, EEncodeStatus::LimitOverrun, ""},
                    SEncodeCase{"B3", {}, EEncodeStatus::Ok, "B3"},
                    SEncodeCase{"B1", {"a[ CR][xy]"}, EEncodeStatus::Ok, "B10006610D5B78795D"},
                    SEncodeCase{"FB", {"ab"}, EEncodeStatus::Ok, "FB026162"},
                    SEncodeCase{"FB", {"abcdefghijklmnop"}, EEncodeStatus::LimitOverrun, ""},
                    SEncodeCase{"BA", {"1", "a", ""}, EEncodeStatus::Ok, "BA01016100"},
                    SEncodeCase{"B5", {"000D0"}, EEncodeStatus::LimitOverrun, ""},
                    SEncodeCase{"F1", {""}, EEncodeStatus::EmptyField, ""},
                    SEncodeCase{"BA", {"2", "", "x"}, EEncodeStatus::EmptyField, ""}));

struct SSplitCase {
    const char* text;
    bool valid;
    std::vector<std::string> rules;
};

class SplitRulesTest : public testing::TestWithParam<SSplitCase> {};

TEST_P(SplitRulesTest, ValidTextsSplitIntoRulesAndFaultyOnesAreRefusedWhole)
{
    const SSplitCase& c = GetParam();
    std::vector<std::string> rules{"left over"};
    EXPECT_EQ(c.valid, SplitRules(c.text, rules));
    EXPECT_EQ(c.rules, rules);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitRulesTest,
    testing::Values(SSplitCase{"", true, {}}, SSplitCase{"F10DB3E903", true, {"F10D", "B3", "E903"}},
                    SSplitCase{"F10", false, {}}, SSplitCase{"F", false, {}}, SSplitCase{"ZZ01", false, {}},
                    SSplitCase{"F1-D", false, {}}, SSplitCase{"E6 -", false, {}}, SSplitCase{"F1zz", false, {}},
                    SSplitCase{"F2051G", false, {}}, SSplitCase{"B00001GG", false, {}},
                    SSplitCase{"E9A3", false, {}}, SSplitCase{"EF0020F7EA", true, {"EF0020", "F7", "EA"}},
                    SSplitCase{"FB026162B4", true, {"FB026162", "B4"}}, SSplitCase{"FB1600", false, {}},
                    SSplitCase{"B00002414", false, {}},
                    SSplitCase{"BA020161026263F20541", true, {"BA020161026263", "F20541"}},
                    SSplitCase{"B502000D0041", true, {"B502000D0041"}}, SSplitCase{"F32D09F42A07", true, {"F32D09", "F42A07"}}));

TEST(SplitRulesFaultTest, AFaultyTextNamesTheRuleAndTheCharacter)
{
    const struct {
        const char* text;
        const char* words;
    } cases[] = {{"F1zz", "rule 1 (F1zz): character 3 \"z\" does not belong there"},
                 {"F10DE6 -", "rule 2 (E6 -): character 7 \" \" does not belong there"},
                 {"B3F10", "rule 2 (F10) is cut short"},
                 {"F10DZZ01", "rule 2 (ZZ01): character 5 \"Z\" does not belong there"},
                 {"FB1600", "rule 1 (FB1600): character 3 \"1\" does not belong there"}};
    for (const auto& c : cases) {
        std::vector<std::string> rules;
        SRuleFault fault;
        EXPECT_FALSE(SplitRules(c.text, rules, fault)) << c.text;
        EXPECT_EQ(c.words, DescribeRuleFault(c.text, fault)) << c.text;
    }
}

// The second table names printable bytes too, as the key pad's names its key codes:
// only the bytes that cannot be typed are shown by name, and every rule still encodes
// back to itself.
TEST(ParseRuleFieldsTest, RuleGivesBackFieldsThatEncodeToItAgain)
{
    CSpecialChars keyNames;
    keyNames.Add("[J]", 0x0D);
    keyNames.Add("[F8]", 0x41);
    keyNames.Add("[Esc]", 0x29);
    keyNames.Add("[3]", 0x20);
    const CSpecialChars& pad = CSpecialChars::AsciiPad();
    const struct {
        const CSpecialChars& names;
        const char* rule;
        std::vector<std::string> fields;
    } cases[] = {
        {pad, "F10D", {"[ CR]"}}, {pad, "F20541", {"5", "A"}}, {pad, "EF0020", {"20"}}, {pad, "B000024142", {"AB"}},
        {pad, "E40461627879", {"ab", "xy"}}, {pad, "BA020161026263", {"2", "a", "bc"}},
        {pad, "B502000D0041", {"000D0041"}}, {pad, "F7", {}}, {pad, "FB03612082", {"a[ SPC][0x82]"}},
        {keyNames, "F10D", {"[J]"}}, {keyNames, "F141", {"A"}}, {keyNames, "F129", {")"}},
        {keyNames, "FB030D4120", {"[J]A[3]"}}, {keyNames, "F3410D", {"A", "[J]"}}, {keyNames, "F109", {"\t"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> fields;
        ASSERT_TRUE(ParseRuleFields(c.rule, c.names, fields)) << c.rule;
        EXPECT_EQ(c.fields, fields) << c.rule;
        const SEncodedRule again = EncodeRule(*FindRuleDefinition(std::string(c.rule).substr(0, 2)), fields, c.names);
        EXPECT_EQ(c.rule, again.rule);
    }
}

TEST(DataFormatValueTest, UnitTextCarriesNumberTerminalSymbologyLengthAndRules)
{
    EXPECT_EQ("169990050000B3", ComposeUnitText({1, "5", 0, "B3"}));
    EXPECT_EQ("", ComposeUnitText({1, "5", 0, ""}));
    SDataFormatUnit unit;
    ASSERT_TRUE(ParseUnitText("169990050000B3", true, unit));
    EXPECT_TRUE(IsSymbologyCode(unit.symbology, "5"));
    EXPECT_EQ("169990050000B3", ComposeUnitText(unit)) << "number, length and rules read back";
    const SDataFormatUnit before = unit;
    for (const char* refused : {"16999005000", "16999005x000B3", "469990050000B3"}) {
        EXPECT_FALSE(ParseUnitText(refused, true, unit)) << refused;
        EXPECT_EQ(before.rules, unit.rules);
    }
}

TEST(DataFormatValueTest, UnitsOfOneNumberShareTheirLineAndReadBackInOrder)
{
    const std::string value = ComposeDataFormatValue({{0, "999", 9999, "F10D"}, {2, "4", 13, "B3"}, {0, "2", 12, "E903"}});
    EXPECT_EQ("Data Format 0:069999999999F10D|069990020012E903;\r\nData Format 1:;\r\n"
              "Data Format 2:269990040013B3;\r\nData Format 3:;\r\n",
              value);
    const auto joined = SplitDataFormatValue(value, true);
    ASSERT_EQ(3u, joined.size());
    EXPECT_EQ((std::pair<int, std::string>{0, "069990020012E903"}), joined[1]);
    EXPECT_EQ(2, joined[2].first);
    // One unit per number: the whole line is one unit text.
    EXPECT_EQ("069999999999F10D|069990020012E903", SplitDataFormatValue(value, false)[0].second);
    // A token of exactly 25 characters is no format line.
    EXPECT_TRUE(SplitDataFormatValue("Data Format 0:06999999999;\r\n", false).empty());
    EXPECT_EQ(std::vector<std::string>({"069999999999F10D|069990020012E903", "269990040013B3"}), DataFormatLines(value));
}

TEST(SpecialCharsTest, FieldCharactersAndBracketGroupsBecomeBytes)
{
    const CSpecialChars& pad = CSpecialChars::AsciiPad();
    EXPECT_EQ("41", CharValueHex("AB", pad));  // the first character of a longer field
    EXPECT_EQ("7F", CharValueHex("[0x7f]", pad));
    EXPECT_EQ("", CharValueHex("", pad));
    EXPECT_EQ("20415B2043", TextToHex("[ SPC]A[ C", pad));  // an unclosed group is written as it stands
    EXPECT_EQ("5B5D00", TextToHex("[][ NULL]", pad));
    CSpecialChars keys;
    keys.Add("[Enter]", 0x28);
    EXPECT_EQ("28", CharValueHex("[Enter]", keys));
    EXPECT_EQ("5B2043525D", TextToHex("[ CR]", keys));  // while the key pad shows, ASCII names are plain text
}

}  // namespace
