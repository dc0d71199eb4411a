// The rules of the numeric range edit and the hexadecimal edits, without windows.
#include "regCtrl/rules/EditRangeRules.h"
#include "regCtrl/rules/HexEditRules.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

namespace {

const SRangeLimits kOneToHundred{1, 100};

TEST(EditRulesRange, TypedTextIsKeptToDigitsWithinTheMaximumWithoutLeadingZeros)
{
    EXPECT_EQ("100", NormalizeRangeEditText("250", kOneToHundred));
    EXPECT_EQ("5", NormalizeRangeEditText("0005", kOneToHundred));
    EXPECT_EQ("1", NormalizeRangeEditText("000", kOneToHundred));  // zeros only: the minimum
    EXPECT_EQ("0", NormalizeRangeEditText("0", kOneToHundred));    // a single zero is left for the commit
    EXPECT_EQ("42", NormalizeRangeEditText("4x2 ", kOneToHundred));
    EXPECT_EQ("100", NormalizeRangeEditText("99999999999999999999999", kOneToHundred));
    EXPECT_EQ("", NormalizeRangeEditText("abc", kOneToHundred));

    EXPECT_TRUE(IsRangeEditKeyAccepted('7'));
    EXPECT_TRUE(IsRangeEditKeyAccepted(WXK_BACK));
    EXPECT_FALSE(IsRangeEditKeyAccepted('-'));

    // Equal limits mean the model gave none.
    EXPECT_EQ(65535, RangeEditLimits(0, 0).maximum);
    EXPECT_EQ(9, RangeEditLimits(3, 9).maximum);
}

TEST(EditRulesRange, ACommitOutsideTheLimitsOrEmptyBecomesTheMinimum)
{
    EXPECT_EQ(ERangeVerdict::Accepted,
              CheckRangeCommit("100", kOneToHundred, "10", std::nullopt, std::nullopt).verdict);
    for (const char* text : {"", "0", "101"}) {
        const SRangeCommit commit = CheckRangeCommit(text, kOneToHundred, "10", std::nullopt, std::nullopt);
        EXPECT_EQ(ERangeVerdict::OutOfRange, commit.verdict) << text;
        EXPECT_EQ("1", commit.text) << text;
    }
    EXPECT_EQ("Gain-> Range: 1-100", FormatRangeMessage("Gain", kOneToHundred));
}

TEST(EditRulesRange, PartnersKeepTheirOrderAndAreCorrectedTowardsTheDefault)
{
    const auto top = FindRangePartner("CADTOP");
    const auto bottom = FindRangePartner("CADBOT");
    ASSERT_TRUE(top && bottom);
    EXPECT_EQ("CADBOT", top->partnerName);
    EXPECT_TRUE(top->isLower);
    EXPECT_FALSE(FindRangePartner("EXPGMX")->isLower);
    EXPECT_EQ("EXPGMN", FindRangePartner("EXPGMX")->partnerName);
    EXPECT_FALSE(FindRangePartner("CADXXX"));

    const SRangeLimits limits{0, 640};
    EXPECT_EQ(ERangeVerdict::Accepted, CheckRangeCommit("200", limits, "0", top, wxString("200")).verdict);
    // Top 300 above a bottom of 200: the default 0 keeps the order.
    SRangeCommit commit = CheckRangeCommit("300", limits, "0", top, wxString("200"));
    EXPECT_EQ(ERangeVerdict::PairViolation, commit.verdict);
    EXPECT_EQ("0", commit.text);
    // A default that would break the order too gives the value next to the partner.
    EXPECT_EQ("199", CheckRangeCommit("300", limits, "250", top, wxString("200")).text);
    EXPECT_EQ("0", CheckRangeCommit("300", limits, "250", top, wxString("0")).text);  // not below the minimum
    EXPECT_EQ("481", CheckRangeCommit("100", limits, "50", bottom, wxString("480")).text);
    EXPECT_EQ("640", CheckRangeCommit("100", limits, "50", bottom, wxString("640")).text);  // not above the maximum
    // Without the partner on a page the range rule applies.
    EXPECT_EQ(ERangeVerdict::Accepted, CheckRangeCommit("300", limits, "0", top, std::nullopt).verdict);
    EXPECT_EQ(wxString::FromUTF8("Bottom 必须大于 Top"), FormatPairMessage("Bottom", "Top"));
}

const SHexLimits kPrintable{"20", "7E", 0};

TEST(EditRulesHex, TypingRefusesBytesAboveTheMaximumACommitPutsThemToTheMinimumAndPadsAFinalDigit)
{
    EXPECT_EQ(wxUniChar('B'), AcceptHexChar('b'));
    EXPECT_FALSE(AcceptHexChar('g'));
    EXPECT_TRUE(IsHexTextAcceptable("7E1", kPrintable));
    EXPECT_FALSE(IsHexTextAcceptable("7F", kPrintable));
    EXPECT_TRUE(IsHexTextAcceptable("1F", kPrintable));  // below the minimum passes until the commit
    EXPECT_TRUE(IsHexTextAcceptable("418", kPrintable));  // a final digit counts as 08
    EXPECT_FALSE(IsHexTextAcceptable("A", SHexLimits{"00", "09", 0}));
    const SHexLimits twoBytes{"", "", 2};
    EXPECT_TRUE(IsHexTextAcceptable("FFFF", twoBytes));
    EXPECT_FALSE(IsHexTextAcceptable("FFFF0", twoBytes));
    EXPECT_FALSE(IsHexTextAcceptable("4G", twoBytes));

    EXPECT_EQ("2041", CorrectHexForCommit("1F41", kPrintable));
    EXPECT_EQ("41207E", CorrectHexForCommit("41FF7E", kPrintable));
    EXPECT_EQ("4105", CorrectHexForCommit("415", SHexLimits{"00", "7E", 0}));
    EXPECT_EQ("4120", CorrectHexForCommit("411", kPrintable));  // 01 is below the minimum
    EXPECT_EQ("ABC", CorrectHexForCommit("ABC", SHexLimits{"", "", 0}));  // no byte limits
    EXPECT_EQ(" A", HexPreviewText("2041"));
    EXPECT_EQ("A.", HexPreviewText("410D"));
    EXPECT_EQ("A.", HexPreviewText("415"));  // read as 41 05
}

TEST(EditRulesHex, GuardedCommandsKeepTheirFirstByteAndRefuseTheCommandHeader)
{
    EXPECT_TRUE(IsFirstByteDeleteRefused("SCNTCT", 1, 0, 1));
    EXPECT_FALSE(IsFirstByteDeleteRefused("SCNTCT", 2, 0, 1));
    EXPECT_FALSE(IsFirstByteDeleteRefused("PREBK2", 1, 0, 1));
    EXPECT_TRUE(HasForbiddenHeader("SCNTCT", "3F0D"));
    EXPECT_TRUE(HasForbiddenHeader("SCNTCP", "3f"));
    EXPECT_FALSE(HasForbiddenHeader("SCNTCT", "0D3F"));
    EXPECT_FALSE(HasForbiddenHeader("NGRSET", "3F0D"));
    EXPECT_EQ(wxString::FromUTF8("Trigger 开头不能包含 3F"), FormatHeaderMessage("Trigger"));

    EXPECT_EQ(wxString("41AB0D"), CleanPastedHex(" 41 ab\t0D\n"));
    EXPECT_FALSE(CleanPastedHex("41 4G"));
}

}  // namespace
