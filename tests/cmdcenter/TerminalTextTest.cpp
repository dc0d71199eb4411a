// The texts of the terminal: request framing, hexadecimal both ways, control
// characters by name, and what of a reply or a packet is shown.
#include "cmdcenter/LineTerminal.h"
#include "cmdcenter/TerminalText.h"

#include "support/FailOnWxAssert.h"

#include <gtest/gtest.h>

namespace {

wxString Narrow(const std::string& bytes)
{
    return wxString(bytes.data(), wxConvISO8859_1, bytes.size());
}

struct SPackCase {
    const char* typed;
    const char* frame;
};

class PackTerminalCommandTest : public ::testing::TestWithParam<SPackCase> {};

TEST_P(PackTerminalCommandTest, WrapsOneCommandInTheRequestFrame)
{
    EXPECT_EQ(Narrow(GetParam().frame), PackTerminalCommand(GetParam().typed));
}

INSTANTIATE_TEST_SUITE_P(Commands, PackTerminalCommandTest,
                         ::testing::Values(SPackCase{"@QRYSYS", "~\x01" "0000@QRYSYS;\x03"},
                                           SPackCase{"#232BAD5;", "~\x01" "0000#232BAD5;\x03"}));

TEST(TerminalTextTest, ControlCharactersAreNamedAndHexShowsTheBytes)
{
    EXPECT_EQ("A<ACK>;<ETX><DEL>", ExpandControlCharacters(Narrow("A\x06;\x03\x7f")));
    EXPECT_EQ("<NUL><US> ", ExpandControlCharacters(Narrow(std::string("\0\x1f ", 3))));
    EXPECT_EQ("41 06 FF", HexOfBytes("A\x06\xff"));
    CFailOnWxAssert assertsFail;
    EXPECT_EQ(wxString(L"A \u0080\u00FF"), CharactersOfBytes(std::string("A\0\x80\xff", 4)));
}

struct SHexCase {
    const char* hex;
    bool zeroAsDigit;
    std::string text;
};

class CharactersOfHexTest : public ::testing::TestWithParam<SHexCase> {};

TEST_P(CharactersOfHexTest, PairsBecomeCharacters)
{
    EXPECT_EQ(Narrow(GetParam().text), CharactersOfHex(GetParam().hex, GetParam().zeroAsDigit));
}

INSTANTIATE_TEST_SUITE_P(Inputs, CharactersOfHexTest,
                         ::testing::Values(SHexCase{"16 4D", false, "\x16M"}, SHexCase{"164D", false, "\x16M"},
                                           SHexCase{"41 0", false, std::string("A\0", 2)}, SHexCase{"41 7", false, "A\x07"},
                                           SHexCase{"00 41", true, "0A"}, SHexCase{"00", false, std::string(1, '\0')},
                                           SHexCase{"ZZ 41", false, "A"}));

TEST(TerminalTextTest, AReplyFrameLosesItsHeaderAndEndUnlessExpanded)
{
    const std::string reply = "\x02\x01" "0000@QRYSYSV1\x06;\x03";
    EXPECT_EQ("QRYSYSV1\x06;", ShownReplyBytes(reply, false));
    EXPECT_EQ(reply, ShownReplyBytes(reply, true));
    EXPECT_EQ("\x02\x01" "0000\x03", ShownReplyBytes("\x02\x01" "0000\x03", false)) << "8 bytes are no frame";
}

struct SLineCase {
    wxString line;
    ETerminalLineAction action;
};

class TerminalLineTest : public ::testing::TestWithParam<SLineCase> {};

TEST_P(TerminalLineTest, ALineLongerThanTheScannerTakesEndsTheModeUnsentAndAnEchoIsNotSent)
{
    EXPECT_EQ(GetParam().action, DecideTerminalLine(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(Lengths, TerminalLineTest,
                         ::testing::Values(SLineCase{"", ETerminalLineAction::KEEP_TYPING},
                                           SLineCase{"a", ETerminalLineAction::SEND},
                                           SLineCase{wxString('a', 64), ETerminalLineAction::SEND},
                                           SLineCase{wxString('a', 65), ETerminalLineAction::END_MODE},
                                           SLineCase{"Device: 123", ETerminalLineAction::KEEP_TYPING}));

}  // namespace

struct SInvalidHexCase {
    const char* typed;
    const char* invalid;
};

class InvalidHexDigitsTest : public ::testing::TestWithParam<SInvalidHexCase> {};

TEST_P(InvalidHexDigitsTest, NamesEachWrongCharacterOnce)
{
    EXPECT_EQ(wxString(GetParam().invalid), InvalidHexDigits(GetParam().typed)) << GetParam().typed;
}

INSTANTIATE_TEST_SUITE_P(Inputs, InvalidHexDigitsTest,
                         ::testing::Values(SInvalidHexCase{"16 4d FF", ""}, SInvalidHexCase{"", ""},
                                           SInvalidHexCase{"ZZ 41", "Z"}, SInvalidHexCase{"0x1G", "xG"},
                                           SInvalidHexCase{"12,34;", ",;"}));
