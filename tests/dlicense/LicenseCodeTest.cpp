// The licence field selection as a setting's value: written out, read back, and
// what a value that is not one leaves behind.
#include "dlicense/LicenseCode.h"

#include <gtest/gtest.h>

namespace {

SLicenseEntry Element(uint8_t code)
{
    const SLicenseEntry* element = CLicenseCode::FindDataElement(code);
    EXPECT_NE(nullptr, element) << int(code);
    return element ? *element : SLicenseEntry();
}

TEST(LicenseCodeTest, ListsHoldTheirElementsAndEveryByteAsASeparator)
{
    EXPECT_EQ(34u, CLicenseCode::ListOf(LICENSE_DATA_FIELDS).size());
    EXPECT_EQ(20u, CLicenseCode::ListOf(LICENSE_DATA_FIELDS2).size());
    ASSERT_EQ(256u, CLicenseCode::ListOf(LICENSE_SEPARATOR).size());
    EXPECT_EQ(wxString::FromUTF8("(DAG)Address \xE2\x80\x93 Street1"), Element(10).name);
    EXPECT_EQ(LICENSE_DATA_FIELDS2, Element(50).kind);
    const std::pair<uint8_t, const char*> separators[] = {{0x00, "[00 NUL]"}, {0x0E, "[0E S0]"}, {0x20, "[20 SPACE]"},
                                                          {0x2C, "[2c  ,]"}, {0x7F, "[7f   ]"},   {0xFF, "[ff   ]"}};
    for (const auto& [byte, name] : separators)
        EXPECT_EQ(name, CLicenseCode::Separator(byte).name) << int(byte);
    EXPECT_EQ(nullptr, CLicenseCode::FindDataElement(0x5A));
    // An element our lists lack is named by its code.
    EXPECT_EQ(Element(49), CLicenseCode::DataElementOf(49));
    EXPECT_EQ("(0x3b)", CLicenseCode::DataElementOf(0x3B).name);
}

struct SWrittenCase {
    bool advanced;
    bool extraction;
    std::vector<int> entries;  // a code, or -byte - 1 for a separator
    const char* extraText;
    const char* value;
};

class LicenseValueTest : public ::testing::TestWithParam<SWrittenCase> {};

TEST_P(LicenseValueTest, IsWrittenAsFlagLengthAndHexStreamAndReadsBackTheSame)
{
    const SWrittenCase& c = GetParam();
    CLicenseCode code;
    code.advancedFormatting = c.advanced;
    code.elementExtraction = c.extraction;
    code.extraText = c.extraText;
    for (int entry : c.entries)
        code.entries.push_back(entry < 0 ? CLicenseCode::Separator(uint8_t(-entry - 1)) : Element(uint8_t(entry)));
    EXPECT_EQ(c.value, code.ValueText());

    CLicenseCode read;
    read.advancedFormatting = true;  // whatever was shown before goes
    ASSERT_TRUE(read.ReadValue(c.value));
    EXPECT_EQ(c.advanced, read.advancedFormatting);
    EXPECT_EQ(c.extraction, read.elementExtraction);
    EXPECT_EQ(code.entries, read.entries);
    EXPECT_EQ(c.extraText, read.extraText);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LicenseValueTest,
    ::testing::Values(SWrittenCase{false, false, {}, "", "00045d005e00"},
                      SWrittenCase{true, false, {7, -0x2C - 1, 49}, "", "10085d015e00075a2c31"},
                      SWrittenCase{false, true, {5, -0x0D - 1, -0x00 - 1, 58}, "AB",
                                   "00155d005e01055a0d5a003a5c30324142"},
                      SWrittenCase{false, false, {-0xFF - 1}, "", "00065d005e005aff"}));

struct SMalformedCase {
    const char* why;
    const char* value;
};

class MalformedLicenseValueTest : public ::testing::TestWithParam<SMalformedCase> {};

TEST_P(MalformedLicenseValueTest, LeavesTheSelectionEmpty)
{
    CLicenseCode code;
    code.entries.push_back(Element(7));
    code.elementExtraction = true;
    EXPECT_FALSE(code.ReadValue(GetParam().value)) << GetParam().why;
    EXPECT_TRUE(code.entries.empty());
    EXPECT_FALSE(code.elementExtraction);
    EXPECT_FALSE(code.advancedFormatting);
    EXPECT_EQ("00045d005e00", code.ValueText());
}

INSTANTIATE_TEST_SUITE_P(
    Values, MalformedLicenseValueTest,
    ::testing::Values(SMalformedCase{"odd length", "00055d005e0"}, SMalformedCase{"no stream", "0004"},
                      SMalformedCase{"short", "00"}, SMalformedCase{"not hexadecimal", "00045d005e0g"},
                      SMalformedCase{"date item cut short", "00075d005e005b3031"},
                      SMalformedCase{"extra text without its length", "00055d005e005c"},
                      SMalformedCase{"separator without its byte", "00055d005e005a"},
                      SMalformedCase{"flag without its value", "00015d"},
                      SMalformedCase{"flag value 2", "00045d025e00"},
                      SMalformedCase{"extra text longer than what is left", "00085d005e005c303541"},
                      SMalformedCase{"extra text length not digits", "00075d005e005c3a30"},
                      SMalformedCase{"date of month 13", "00135d005e005b3133303132303030"},
                      SMalformedCase{"date 31 February", "00135d005e005b3032333132303030"},
                      SMalformedCase{"date before 1900", "00135d005e005b3031303131383939"}));

TEST(LicenseCodeTest, EmptyValuesAndAValidDateItemAreAccepted)
{
    CLicenseCode code;
    for (const char* value : {"", "0000", "00045d005e00"}) {
        code.entries.push_back(Element(7));
        EXPECT_TRUE(code.ReadValue(value)) << value;
        EXPECT_TRUE(code.entries.empty()) << value;
    }
    // 29 February of a leap year, then a field.
    ASSERT_TRUE(code.ReadValue("00145d005e005b303232393230323407"));
    ASSERT_EQ(1u, code.entries.size());
    EXPECT_EQ(7, code.entries[0].code);
}

struct SUnlistedCase {
    const char* value;
    std::vector<uint8_t> codes;  // the entries read, in order
};

class UnlistedElementTest : public ::testing::TestWithParam<SUnlistedCase> {};

// Every byte that is neither a separator nor a marker names a data element, also when
// our lists lack it, and the value written back is the value read.
TEST_P(UnlistedElementTest, ReadsAsADataElementAndIsWrittenBackUnchanged)
{
    const SUnlistedCase& c = GetParam();
    CLicenseCode code;
    ASSERT_TRUE(code.ReadValue(c.value));
    ASSERT_EQ(c.codes.size(), code.entries.size());
    for (size_t i = 0; i < c.codes.size(); ++i) {
        EXPECT_EQ(c.codes[i], code.entries[i].code) << i;
        EXPECT_NE(LICENSE_SEPARATOR, code.entries[i].kind) << i;
        EXPECT_FALSE(code.entries[i].name.empty()) << i;
    }
    EXPECT_EQ(c.value, code.ValueText());
}

INSTANTIATE_TEST_SUITE_P(Values, UnlistedElementTest,
                         ::testing::Values(SUnlistedCase{"00055d005e0001", {0x01}},
                                           SUnlistedCase{"00055d005e003b", {0x3B}},
                                           SUnlistedCase{"00055d005e005f", {0x5F}},
                                           SUnlistedCase{"00055d005e00ff", {0xFF}},
                                           SUnlistedCase{"00065d005e000780", {7, 0x80}}));

std::vector<SLicenseEntry> Then(std::vector<SLicenseEntry> first, const std::vector<SLicenseEntry>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(LicenseCodeTest, AddingStopsAt500EntriesOr999BytesAndTheValueReadsBack)
{
    const SLicenseEntry comma = CLicenseCode::Separator(',');
    struct Case {
        size_t elementsFirst;
        std::vector<SLicenseEntry> added;
        ELicenseAddOutcome outcome;
        size_t entriesAfter;
    };
    const Case cases[] = {
        // 499 elements: 500 entries fit, the 501st is refused.
        {499, {Element(7)}, LICENSE_ADDED_ALL, 500},
        {499, {Element(8), Element(9), Element(10)}, LICENSE_TOO_MANY_ENTRIES, 500},
        // 4 flag bytes + 497 separators of 2 bytes = 998; a 498th would make 1000.
        {0, std::vector<SLicenseEntry>(497, comma), LICENSE_ADDED_ALL, 497},
        {0, std::vector<SLicenseEntry>(498, comma), LICENSE_TOO_MANY_BYTES, 497},
        {0, Then(std::vector<SLicenseEntry>(497, comma), {Element(7), Element(8)}), LICENSE_TOO_MANY_BYTES, 498},
    };
    for (const Case& c : cases) {
        CLicenseCode code;
        code.entries.assign(c.elementsFirst, Element(7));
        EXPECT_EQ(c.outcome, code.AddEntries(c.added)) << c.elementsFirst << "+" << c.added.size();
        EXPECT_EQ(c.entriesAfter, code.entries.size());
        EXPECT_LE(code.ByteStream().size(), CLicenseCode::kMaxStreamBytes);
        CLicenseCode reread;
        EXPECT_TRUE(reread.ReadValue(code.ValueText()));
        EXPECT_EQ(code.entries.size(), reread.entries.size());
    }
}

TEST(LicenseCodeTest, PreviewShowsTheSampleCardsFieldsWithTheirSeparators)
{
    CLicenseCode code;
    code.entries = {Element(7), CLicenseCode::Separator(','), Element(49), CLicenseCode::Separator(0x0D),
                    Element(30), CLicenseCode::Separator(0x20), Element(45), CLicenseCode::Separator(0xA0)};
    EXPECT_EQ("JANE,SAMPLE<CR>01151990 USA<a0>", LicensePreview(code));
}

}  // namespace
