// The terminal and the batch fetch. The terminal's texts: request framing, hexadecimal
// both ways, control characters by name, what of a reply or a packet is shown, the
// command history between runs and the switches of "server.cfg". Its worker against a
// scripted link: what goes on the wire for a typed command, which lines the transcript
// gets, and what it leaves when closing. The batch fetch: both requests must be
// acknowledged, data replies are cut at CR LF into entries, and "batch.txt" only ever
// grows. Both over the real link, against the simulated scanner, are the line tests'.
#include "ScriptedTerminalLink.h"
#include "batchdata/BatchDataFetch.h"
#include "cmdcenter/CommandCenterSession.h"
#include "cmdcenter/CommandHistory.h"
#include "cmdcenter/LineTerminal.h"
#include "cmdcenter/TerminalText.h"
#include "cmdcenter/UpgradeSwitches.h"
#include "support/FailOnWxAssert.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

namespace {

class CommandCenterSessionTest : public ::testing::Test {
protected:
    CommandCenterSessionTest()
    {
        m_session.SetReaderEnabled(true);
        m_session.Options().tags = true;
    }

    std::vector<wxString> Lines()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<wxString> lines;
        for (const STerminalOutput& output : m_outputs)
            if (output.kind == STerminalOutput::LINE)
                lines.push_back(output.text);
        return lines;
    }

    // Queues a typed command, with the reply the link will give (none: silence), and runs it.
    bool Send(const wxString& command, const std::string& reply = std::string())
    {
        if (!reply.empty())
            m_link.AddReply(reply);
        m_session.QueueCommand(command);
        return m_session.RunOneStep();
    }

    CScriptedTerminalLink m_link;
    std::mutex m_mutex;
    std::vector<STerminalOutput> m_outputs;
    CCommandCenterSession m_session{m_link, [this](const STerminalOutput& output) {
                                        std::lock_guard<std::mutex> lock(m_mutex);
                                        m_outputs.push_back(output);
                                    }};
};

TEST_F(CommandCenterSessionTest, ACommandGoesOutFramedAndShowsWithoutFrameExpandedOrInHex)
{
    ASSERT_TRUE(Send("QRYSYS", "\x02\x01" "0000@QRYSYSV1.0\x06;\x03"));
    ASSERT_EQ(1u, m_link.Written().size());
    EXPECT_EQ("~\x01" "0000@QRYSYS;\x03", m_link.Written()[0]);
    m_session.Options().expand = true;
    ASSERT_TRUE(Send("A", "\x02\x01" "0000@A\x06;\x03"));
    m_session.Options().hexDisplay = true;
    ASSERT_TRUE(Send("B", "\x06"));
    EXPECT_EQ((std::vector<wxString>{"Request: QRYSYS\r\n", "Response: QRYSYSV1.0<ACK>;\r\n",
                                     "Request: ~<SOH>0000@A;<ETX>\r\n", "Response: <STX><SOH>0000@A<ACK>;<ETX>\r\n",
                                     "Request: 7E 01 30 30 30 30 40 42 3B 03\r\n", "Response: 06\r\n"}),
              Lines());
}

TEST_F(CommandCenterSessionTest, HexSendWritesExactlyTheBytesOfThePairs)
{
    m_session.Options().hexSend = true;
    m_session.Options().packCommand = false;
    m_session.Options().tags = false;
    Send("16 4D");
    ASSERT_EQ(1u, m_link.Written().size());
    EXPECT_EQ("\x16\x4D", m_link.Written()[0]);
    EXPECT_TRUE(m_link.WrittenRaw()[0]);
    EXPECT_EQ((std::vector<wxString>{"<SYN>M\r\n", "\r\n"}), Lines()) << "no answer gives an empty response line";
}

// Silence after a command is what a wrong baud rate or port looks like: the window is
// told, after the empty response line; an answer or a failed write is not that, and a
// failed write starts no line terminal.
TEST_F(CommandCenterSessionTest, OnlyACommandNothingAnsweredIsFollowedByTheNoAnswerNotice)
{
    const struct {
        bool packCommand;
        const char* reply;
        bool failWrite;
        bool noAnswer;
    } cases[] = {
        {true, "", false, true},
        {false, "", false, true},
        {true, "\x02\x01" "0000@QRYSYSV1.0\x06;\x03", false, false},
        {false, "\x06", false, false},
        {true, "", true, false},
    };
    for (const auto& c : cases) {
        m_outputs.clear();
        m_session.Options().packCommand = c.packCommand;
        m_link.m_failWrites = c.failWrite;
        Send(c.failWrite ? "CLIENA1" : "QRYSYS", c.reply);
        ASSERT_EQ(c.noAnswer ? 3u : 2u, m_outputs.size()) << c.reply;
        EXPECT_EQ("Response: \r\n" == m_outputs[1].text, c.noAnswer || c.failWrite);
        EXPECT_EQ(c.noAnswer, m_outputs.back().kind == STerminalOutput::NO_ANSWER) << c.reply;
    }
    EXPECT_EQ("Request: CLIENA1\r\n", m_outputs[0].text);
    EXPECT_FALSE(m_session.IsInLineMode());
}

// 02 00 00 01 ";" "A" and the checksum FF ^ 00 ^ 01 ^ 3B ^ 41 = 84.
const std::string kFrameOfA("\x02\x00\x00\x01;A\x84", 7);

// A whole frame, packed or not, is the next test's first read.
TEST_F(CommandCenterSessionTest, WhatTheScannerSendsByItselfIsShown)
{
    const struct {
        bool packedData;
        bool hexDisplay;
        std::string received;
        wxString line;
    } cases[] = {
        {false, false, std::string("AB\0C\r\n", 6), "Device: AB C\r\n\r\n"},
        {true, false, std::string("\x02\x00\x00\x01;AB", 7), "Device: \x02  \x01;AB\r\n"},
        {true, true, kFrameOfA, "Device: 02 00 00 01 3B 41 84\r\n"},
        {false, true, kFrameOfA, "Device: 02 00 00 01 3B 41 84\r\n"},
        // Packing off, the head of a frame is not held back for its rest.
        {false, false, std::string("\x02\x00\x00\x05;AB", 7), "Device: \x02  \x05;AB\r\n"},
    };
    for (const auto& c : cases) {
        m_outputs.clear();
        m_session.Options().packedData = c.packedData;
        m_session.Options().hexDisplay = c.hexDisplay;
        m_link.AddReply(c.received);
        ASSERT_TRUE(m_session.RunOneStep());
        EXPECT_EQ(std::vector<wxString>{c.line}, Lines()) << c.line;
    }
}

// Several reads sent together, and a frame cut in two by the bound of one step. With
// packing on each read gets its own line and the cut frame waits for its rest; with
// packing off each block is shown as it came.
TEST_F(CommandCenterSessionTest, PackedReadsAreShownOneByOneAndACutFrameWaitsForItsRestOnlyWithPacking)
{
    const wxString frameRaw = wxString("\x02  \x01;A") + wxUniChar(0x84);
    const struct {
        bool packedData;
        std::vector<wxString> afterFirst;
        std::vector<wxString> afterSecond;
    } cases[] = {
        {true,
         {"Device: Code ID packet\r\nA\r\n", "Device: B\r\n\r\n", "Device: Code ID packet\r\nA\r\n"},
         {"Device: Code ID packet\r\nA\r\n"}},
        {false,
         {"Device: " + frameRaw + "B\r\n" + frameRaw + "\x02  \r\n"},
         {wxString("Device: \x01;A") + wxUniChar(0x84) + "\r\n"}},
    };
    CSymbologiesXmlInfo names;
    ASSERT_TRUE(names.Load(VOSTREL_DATA_DIR "/Config/Symbologies.xml", "CommandCenterDlg.cpp"));
    m_session.SetSymbologies(names);
    for (const auto& c : cases) {
        m_outputs.clear();
        m_session.Options().packedData = c.packedData;
        m_link.AddReply(kFrameOfA + "B\r\n" + kFrameOfA + kFrameOfA.substr(0, 3));
        m_link.AddReply(kFrameOfA.substr(3));
        ASSERT_TRUE(m_session.RunOneStep());
        EXPECT_EQ(c.afterFirst, Lines()) << c.packedData;
        ASSERT_TRUE(m_session.RunOneStep());
        std::vector<wxString> all = c.afterFirst;
        all.insert(all.end(), c.afterSecond.begin(), c.afterSecond.end());
        EXPECT_EQ(all, Lines()) << c.packedData;
    }
}

TEST_F(CommandCenterSessionTest, LineTerminalTakesLinesWithCarriageReturnUntilExit)
{
    Send("CLIENA1", "\x02\x01" "0000@CLIENA1\x06;\x03");
    ASSERT_TRUE(m_session.IsInLineMode());
    m_session.QueueTerminalLine("exit");
    m_session.RunOneStep();
    const std::vector<std::string> written = m_link.Written();
    ASSERT_EQ(3u, written.size());
    EXPECT_EQ("exit\r", written[1]);
    EXPECT_EQ("exit\r", written[2]) << "exit goes out twice";
    EXPECT_FALSE(m_session.IsInLineMode());
    ASSERT_EQ(5u, m_outputs.size());
    EXPECT_EQ(STerminalOutput::ENTER_LINE_MODE, m_outputs[2].kind);
    EXPECT_EQ("\r\n", m_outputs[3].text);
    EXPECT_EQ(STerminalOutput::LEAVE_LINE_MODE, m_outputs.back().kind);
}

TEST_F(CommandCenterSessionTest, NothingIsSentWhileTheReaderIsOffOrTheLinkClosed)
{
    m_session.QueueCommand("QRYSYS");
    m_session.SetReaderEnabled(false);
    EXPECT_FALSE(m_session.RunOneStep());
    m_session.SetReaderEnabled(true);
    m_link.m_open = false;
    EXPECT_FALSE(m_session.RunOneStep());
    EXPECT_FALSE(m_session.IsReaderEnabled()) << "a closed link turns the reader off";
    EXPECT_TRUE(m_link.Written().empty());
    EXPECT_EQ(1u, m_session.QueuedCount());
}

// How soon a close ends the worker is the benchmarks' business; here only what it leaves.
TEST_F(CommandCenterSessionTest, ClosingStopsTheWorkerAndLeavesAQueuedCommandUnsent)
{
    m_session.Start();
    while (m_link.Polls() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_session.QueueCommand("QRYSYS");
    m_session.Stop();
    EXPECT_FALSE(m_session.IsRunning());
    EXPECT_TRUE(m_link.Written().empty());
    EXPECT_EQ(1u, m_session.QueuedCount());
}

const char kAck[] = "\x02\x01" "0000@WLSBAT2\x06;\x03";
const char kSbtAck[] = "\x02\x01" "0000@WLSSBT\x06;\x03";
const char kSbtNak[] = "\x02\x01" "0000@WLSSBT\x15;\x03";
// The scripted scanner has sent everything at once: a short quiet time ends its data.
const int kQuietMs = 20;

class BatchDataFetchTest : public ::testing::Test {
protected:
    bool Fetch(std::vector<wxString>& entries) { return CBatchDataFetch(m_link, 0, kQuietMs).Fetch(entries); }

    CScriptedTerminalLink m_link;
    CTempDir m_dir;
};

TEST_F(BatchDataFetchTest, ARefusedUploadFetchesNothingAndLeavesTheFileAlone)
{
    m_dir.Write("batch.txt", "earlier\r\n");
    for (const char* reply : {kAck, kSbtNak, "A\r\nB\r\n"})
        m_link.AddReply(reply);
    std::vector<wxString> entries{"stale"};
    EXPECT_FALSE(Fetch(entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ("earlier\r\n", m_dir.Read("batch.txt"));
    EXPECT_EQ(2u, m_link.Written().size());
    EXPECT_EQ("~\x01" "0000@WLSBAT2;\x03", m_link.Written()[0]);
}

// The scanner's blocks are joined before they are cut, so that a pause between two
// blocks splits no code wherever it falls; the entries give back every byte but the
// line break that ends the data, a code not finished included.
TEST_F(BatchDataFetchTest, BlocksAreJoinedBeforeTheyAreCutWhereverTheScannerPaused)
{
    const struct {
        std::string data;
        std::string file;
    } cases[] = {
        {"A\r\nB\r\nC\r\nD\r\n", "earlier|A\r\nB\r\nC\r\nD"},
        {"A\r\nBC\r\n\r\nE", "earlier|A\r\nBC\r\n\r\nE"},
        {"one code without a break", "earlier|one code without a break"},
    };
    for (const auto& row : cases) {
        for (size_t cut = 1; cut < row.data.size(); ++cut) {
            CScriptedTerminalLink link;
            for (const std::string& reply : {std::string(kAck), std::string(kSbtAck), row.data.substr(0, cut), row.data.substr(cut)})
                link.AddReply(reply);
            m_dir.Write("batch.txt", "earlier|");
            std::vector<wxString> entries;
            ASSERT_TRUE(CBatchDataFetch(link, 0, kQuietMs).Fetch(entries));
            ASSERT_TRUE(CBatchDataFetch::AppendEntries(m_dir.File("batch.txt"), entries));
            EXPECT_EQ(row.file, m_dir.Read("batch.txt")) << row.data << " cut at " << cut;
        }
    }
}

// A read the scanner makes during the fetch comes packed; whole or cut in two by the
// reads, it goes to the terminal, never into the stored data.
TEST_F(BatchDataFetchTest, APackedReadCutBetweenTwoRepliesStaysOutOfTheStoredData)
{
    const std::string frame("\x02\x00\x00\x01;A\x84", 7);
    for (size_t cut : {size_t(0), size_t(1), size_t(3), size_t(6)}) {
        CScriptedTerminalLink link;
        for (const std::string& reply : {std::string(kAck), std::string(kSbtAck), "A\r\nB\r\n" + frame.substr(0, cut),
                                         frame.substr(cut) + "C\r\nD\r\n" + frame})
            link.AddReply(reply);
        std::vector<wxString> entries;
        ASSERT_TRUE(CBatchDataFetch(link, 0, kQuietMs).Fetch(entries));
        wxString stored;
        for (const wxString& entry : entries)
            stored += entry;
        EXPECT_EQ("A\r\nB\r\nC\r\nD", stored) << cut;
        EXPECT_EQ(frame + frame, link.SetAsideBytes()) << cut;
    }
}

wxString Narrow(const std::string& bytes)
{
    return wxString(bytes.data(), wxConvISO8859_1, bytes.size());
}

// The session's commands show the mark "@" added; a typed mark and end are kept.
TEST(TerminalTextTest, ATypedCommandIsWrappedInTheRequestFrame)
{
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
