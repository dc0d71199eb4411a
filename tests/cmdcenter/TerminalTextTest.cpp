// The texts of the terminal: request framing, hexadecimal both ways, control
// characters by name, and what of a reply or a packet is shown; and the files around
// it: the command history between runs and the switches of "server.cfg".
#include "CommandHistory.h"
#include "LineTerminal.h"
#include "TempDir.h"
#include "TerminalText.h"
#include "UpgradeSwitches.h"

#include "FailOnWxAssert.h"

#include <gtest/gtest.h>

namespace {

wxString Narrow(const std::string& bytes)
{
    return wxString(bytes.data(), wxConvISO8859_1, bytes.size());
}

TEST(TerminalTextTest, ATypedCommandIsWrappedInTheRequestFrame)
{
    EXPECT_EQ(Narrow("~\x01" "0000@QRYSYS;\x03"), PackTerminalCommand("@QRYSYS"));
    EXPECT_EQ(Narrow("~\x01" "0000#232BAD5;\x03"), PackTerminalCommand("#232BAD5;"));
}

TEST(TerminalTextTest, ControlCharactersAreNamedAndHexShowsTheBytes)
{
    EXPECT_EQ("A<ACK>;<ETX><DEL>", ExpandControlCharacters(Narrow("A\x06;\x03\x7f")));
    EXPECT_EQ("<NUL><US> ", ExpandControlCharacters(Narrow(std::string("\0\x1f ", 3))));
    EXPECT_EQ("41 06 FF", HexOfBytes("A\x06\xff"));
    CFailOnWxAssert assertsFail;
    EXPECT_EQ(wxString(L"A \u0080\u00FF"), CharactersOfBytes(std::string("A\0\x80\xff", 4)));
}

TEST(TerminalTextTest, HexPairsBecomeCharactersAndEachWrongDigitIsNamedOnce)
{
    const struct {
        const char* hex;
        bool zeroAsDigit;
        std::string text;
    } pairs[] = {{"16 4D", false, "\x16M"}, {"164D", false, "\x16M"}, {"41 0", false, std::string("A\0", 2)},
                 {"41 7", false, "A\x07"},  {"00 41", true, "0A"},     {"00", false, std::string(1, '\0')},
                 {"ZZ 41", false, "A"}};
    for (const auto& c : pairs)
        EXPECT_EQ(Narrow(c.text), CharactersOfHex(c.hex, c.zeroAsDigit)) << c.hex;
    const std::pair<const char*, const char*> invalid[] = {
        {"16 4d FF", ""}, {"", ""}, {"ZZ 41", "Z"}, {"0x1G", "xG"}, {"12,34;", ",;"}};
    for (const auto& [typed, wrong] : invalid)
        EXPECT_EQ(wxString(wrong), InvalidHexDigits(typed)) << typed;
}

TEST(TerminalTextTest, AReplyFrameLosesItsHeaderAndEndUnlessExpanded)
{
    const std::string reply = "\x02\x01" "0000@QRYSYSV1\x06;\x03";
    EXPECT_EQ("QRYSYSV1\x06;", ShownReplyBytes(reply, false));
    EXPECT_EQ(reply, ShownReplyBytes(reply, true));
    EXPECT_EQ("\x02\x01" "0000\x03", ShownReplyBytes("\x02\x01" "0000\x03", false)) << "8 bytes are no frame";
}

TEST(TerminalTextTest, ALineLongerThanTheScannerTakesEndsTheModeUnsentAndAnEchoIsNotSent)
{
    const std::pair<wxString, ETerminalLineAction> lines[] = {
        {"", ETerminalLineAction::KEEP_TYPING},          {"a", ETerminalLineAction::SEND},
        {wxString('a', 64), ETerminalLineAction::SEND},  {wxString('a', 65), ETerminalLineAction::END_MODE},
        {"Device: 123", ETerminalLineAction::KEEP_TYPING}};
    for (const auto& [line, action] : lines)
        EXPECT_EQ(action, DecideTerminalLine(line)) << line;
}

TEST(CommandHistoryTest, KeepsTheNewestCommandsOnePerLine)
{
    CTempDir dir;
    wxArrayString commands;
    for (size_t i = 0; i < CCommandHistory::kMostKept + 5; ++i)
        commands.Add(wxString::Format("CMD%zu", i));
    commands.Add("two\r\nlines");
    ASSERT_TRUE(CCommandHistory::Save(dir.File("h"), commands));
    const wxArrayString loaded = CCommandHistory::Load(dir.File("h"));
    ASSERT_EQ(CCommandHistory::kMostKept, loaded.size());
    EXPECT_EQ("CMD6", loaded[0]);
    EXPECT_EQ("two  lines", loaded.back());
    EXPECT_TRUE(CCommandHistory::Load(dir.File("missing")).empty());
}

TEST(UpgradeSwitchesTest, OnlyTheValueOneShowsAButton)
{
    const struct {
        const char* content;  // null: no file
        bool upgrade;
        bool batchUpgrade;
    } cases[] = {{"[cfg]\nupgrade=1\n", true, false},     {"[cfg]\nupgrade=2\nbatchupgrade=1\n", false, true},
                 {"[other]\nupgrade=1\n", false, false}, {"\x01\xff garbage [[[", false, false},
                 {nullptr, false, false}};
    for (const auto& c : cases) {
        CTempDir dir;
        if (c.content)
            dir.Write("server.cfg", c.content);
        const SUpgradeSwitches switches = ReadUpgradeSwitches(dir.File("server.cfg"));
        EXPECT_EQ(c.upgrade, switches.upgrade) << (c.content ? c.content : "no file");
        EXPECT_EQ(c.batchUpgrade, switches.batchUpgrade) << (c.content ? c.content : "no file");
    }
}

}  // namespace
