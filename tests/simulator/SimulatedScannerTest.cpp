// The simulated scanner on its own: the protocol engine (request frames in, reply
// frames out, byte for byte), what each injected fault does to the reply and how
// faults are written, its reader of model command files, its data formats, its own
// reads and their options, its line terminal, the imager's answers to image requests,
// and what the timing profile does to the shape of replies and uploads (how long
// things take on a line is for the benchmarks).
#include "SimTestSupport.h"
#include "simulator/SimDataFormats.h"
#include "simulator/SimLineTerminal.h"
#include "simulator/SimModelFile.h"
#include "simulator/SimReplyBuilder.h"
#include "simulator/SimScanSetup.h"
#include "simulator/SimTiming.h"
#include "support/NestedXml.h"

#include <gtest/gtest.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The status character of the one item a command was answered with.
char StatusOf(CSimDataFormats& formats, const std::string& name, const std::string& rest)
{
    CSimReplyBuilder builder;
    EXPECT_TRUE(formats.Answer(name, rest, builder));
    const std::string frame = builder.Frame('@');
    return frame.size() >= 3 ? frame[frame.size() - 3] : '\0';
}

TEST(SimDataFormatsTest, FormatLinesAreStoredReportedAndRunOnReads)
{
    CSimDataFormats formats("DFMSET", 50);
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMCAL", ""));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "069990040013F82DF10D"));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "169999999999B3F12C"));
    // Refused: a rule text that does not split, a number beyond 3, a line over the limit.
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "069999999999F10"));
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "469999999999F10D"));
    EXPECT_EQ(kSimNak, StatusOf(formats, "DFMSET", "069999999999B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3B3"));
    EXPECT_EQ("Data Format 0:069990040013F82DF10D;\r\nData Format 1:169999999999B3F12C;\r\n"
              "Data Format 2:;\r\nData Format 3:;\r\n",
              formats.CurrentValue());

    // Format 0 is for EAN-13 reads of 13 characters; other reads fall to format 1.
    EXPECT_EQ("-789012\r", formats.Apply("123456-789012", 4));
    EXPECT_EQ("EAN-13123456789012,", formats.Apply("123456789012", 4, "EAN-13"));
    // A second line for number 0 replaces the first.
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMSET", "069999999999E902"));
    EXPECT_EQ("1234", formats.Apply("123456", 2));
    EXPECT_EQ(kSimAck, StatusOf(formats, "DFMCAL", ""));
    EXPECT_EQ("123456", formats.Apply("123456", 2));
    CSimReplyBuilder builder;
    EXPECT_FALSE(CSimDataFormats().Answer("DFMQCU", "", builder)) << "a model without formats answers none";
}

// A shipped model of the list form (several formats in one line), over its whole request path: the tool's write
// (clear, then one line) packs the group once; the read-back reports the format.
TEST(SimDataFormatsTest, AModelsScannerTakesWrittenFormatsAndRunsThemOnItsReads)
{
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(std::string(VOSTREL_SIM_TEST_DATA) + "/../../../data/Config/FM300.xml",
                                                    TestProfile(), error);
    ASSERT_TRUE(scanner) << error;
    const auto write = scanner->Feed(Request("@DFMCAL,ADD069990020005B3|069999999999F10D"));
    ASSERT_EQ(1u, write.size());
    EXPECT_EQ(kHead + "@DFMCAL\x06,ADD069990020005B3|069999999999F10D\x06;\x03", write[0].bytes);
    const auto query = scanner->Feed(Request("@DFMQCU"));
    ASSERT_EQ(1u, query.size());
    EXPECT_EQ(kHead + "@DFMQCUData Format 0:069990020005B3|069999999999F10D;\r\nData Format 1:;\r\n"
                      "Data Format 2:;\r\nData Format 3:;\r\n\x06;\x03",
              query[0].bytes);
    EXPECT_EQ("12345\r", scanner->ApplyDataFormats("12345", 4));
    EXPECT_EQ("2", scanner->ApplyDataFormats("12345", 2)) << "the Code 128 format for five characters inserts the code";
}

TEST(SimScanTest, AScriptIsPlayedOnceOneReadPerPeriodAndBadOptionsAreRefused)
{
    const std::string path = testing::TempDir() + "/sim_reads.txt";
    std::ofstream(path) << "# reads\n33\tQR-DATA\r\nPLAIN\n\nbad\tTAB\n";
    CSimScanEmitter emitter;
    std::string error;
    ASSERT_TRUE(emitter.LoadScript(path, error)) << error;
    emitter.SetFormatter([](const std::string& data, int code) { return std::to_string(code) + ":" + data; });
    emitter.SetPeriod(10, false);
    const auto later = CSimScanEmitter::Clock::now() + std::chrono::seconds(1);
    EXPECT_EQ((std::vector<std::string>{"33:QR-DATA\r\n", "2:PLAIN\r\n", "2:bad\tTAB\r\n"}), emitter.TakeDue(later));
    EXPECT_FALSE(emitter.IsActive());
    std::remove(path.c_str());
    SSimScanSetup setup;
    for (const auto& [option, value] : {std::pair<const char*, const char*>{"--scan-every", "0"}, {"--scan-every", "10x"},
                                        {"--packed", "zip"}, {"--reads", ""}})
        EXPECT_FALSE(setup.Add(option, value)) << option << " " << value;
    EXPECT_TRUE(setup.Add("--packed", "aim"));
    EXPECT_EQ(ESimPacking::AIM_ID, setup.packing);
}

TEST(SimLineTerminalTest, AnswersLinesUntilExitAndCutsOverlongOnes)
{
    CSimLineTerminal terminal("V1");
    terminal.Enter();
    EXPECT_TRUE(terminal.Push("ve").empty());
    EXPECT_EQ((std::vector<std::string>{"V1\r\n> "}), terminal.Push("r\r"));
    const std::vector<std::string> answers = terminal.Push(std::string(70, 'x') + "\rexit\rver\r");
    ASSERT_EQ(2u, answers.size());
    EXPECT_EQ("unknown command: " + std::string(64, 'x') + "\r\n> ", answers[0]);
    EXPECT_EQ("bye\r\n", answers[1]);
    EXPECT_FALSE(terminal.IsActive());
}

std::string Answer(const char* model, const std::string& command)
{
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(model, SSimScannerProfile(), error);
    EXPECT_TRUE(scanner) << error;
    const std::vector<SSimReply> replies = scanner ? scanner->Feed(Request("@" + command)) : std::vector<SSimReply>();
    return replies.size() == 1 ? replies[0].bytes : std::string();
}

const char kImager[] = VOSTREL_SIM_DATA_DIR "/Config/HI880.xml";

TEST(SimImage, RawSixteenthIsEchoLengthAndGreyPixelsAndMissingOptionsAreRefused)
{
    const std::string reply = Answer(kImager, "IMGGET0T2R0F");
    const std::string head = kHead + "@IMGGET0T2R0F00004B00";
    ASSERT_EQ(head.size() + 160 * 120 + 3, reply.size());
    EXPECT_EQ(head, reply.substr(0, head.size()));
    EXPECT_EQ(std::string("\x06;\x03"), reply.substr(reply.size() - 3));
    EXPECT_EQ(kHead + "@IMGGET0T0R7F\x15;\x03", Answer(kImager, "IMGGET0T0R7F"));
    EXPECT_EQ(kHead + "@IMGGET0T0R2F\x15;\x03", Answer(kImager, "IMGGET0T0R2F")) << "JPEG without its quality";
    EXPECT_EQ(kHead + "@IMGBGT0F\x15;\x03", Answer(kImager, "IMGBGT0F"));
    const std::string other = Answer(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml", "IMGGET0T0R0F");
    EXPECT_NE(std::string::npos, other.find('\x05')) << "an unknown command to a scanner without imager";
}

std::string Joined(const std::vector<SSimReply>& pieces)
{
    std::string all;
    for (const SSimReply& piece : pieces)
        all += piece.bytes;
    return all;
}

bool Within(int value, const SSimSpan& span)
{
    return value >= span.minMs && value <= span.maxMs;
}

TEST(SimTimingTest, SetProfile_KnowsNoneAndRealOnly)
{
    SSimTiming timing;
    EXPECT_TRUE(timing.IsNone());
    EXPECT_TRUE(timing.SetProfile("real"));
    EXPECT_FALSE(timing.IsNone());
    EXPECT_EQ(4000, timing.restartMs);
    EXPECT_FALSE(timing.SetProfile("fast"));
    EXPECT_FALSE(timing.IsNone());  // a refused name changes nothing
    timing.newPathOnRestart = true;
    EXPECT_TRUE(timing.SetProfile("none"));
    EXPECT_TRUE(timing.IsNone());
    EXPECT_TRUE(timing.newPathOnRestart);  // the path option is not part of a profile
}

TEST(SimTimingTest, Shape_DelaysEveryReplyAndCutsLongOnesIntoBursts)
{
    const SSimTiming real = SSimTiming::Real();
    struct SCase {
        const char* name;
        size_t length;
        bool disconnect;
        size_t pieces;
    };
    const SCase cases[] = {
        {"short reply, one piece", 40, false, 1},
        {"exactly one burst", 1024, false, 1},
        {"one byte over a burst", 1025, false, 2},
        {"three bursts and a bit", 3 * 1024 + 7, false, 4},
        {"a hang-up stays whole", 5000, true, 1},
    };
    CSimTimer timer(7);
    timer.Set(real);
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SSimReply reply;
        for (size_t i = 0; i < c.length; ++i)
            reply.bytes += static_cast<char>('A' + i % 26);
        reply.delayMs = 5;
        reply.disconnect = c.disconnect;
        const std::vector<SSimReply> pieces = timer.Shape(reply, real.imageQuery);
        ASSERT_EQ(c.pieces, pieces.size());
        EXPECT_EQ(reply.bytes, Joined(pieces));
        // The fault's own delay, the latency and the extra thinking come before the first byte.
        const SSimSpan first{5 + real.replyLatency.minMs + real.imageQuery.minMs,
                             5 + real.replyLatency.maxMs + real.imageQuery.maxMs};
        EXPECT_TRUE(Within(pieces[0].delayMs, first)) << pieces[0].delayMs;
        for (size_t i = 1; i < pieces.size(); ++i)
            EXPECT_TRUE(Within(pieces[i].delayMs, real.burstPause)) << pieces[i].delayMs;
        EXPECT_EQ(c.disconnect, pieces.back().disconnect);
    }
}

TEST(SimTimingTest, Upload_StartsLateAndCutsCodesOnlyUnderTheRealProfile)
{
    std::vector<std::string> blocks;
    std::string all;
    for (int block = 0; block < 3; ++block) {
        std::string text;
        for (int code = 0; code < 16; ++code)
            text += "CODE-" + std::to_string(block * 16 + code) + "\r\n";
        blocks.push_back(text);
        all += text;
    }
    CSimTimer timer(11);
    const std::vector<SSimReply> plain = timer.Upload(blocks, 50);
    ASSERT_EQ(3u, plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(blocks[i], plain[i].bytes);
        EXPECT_EQ(50, plain[i].delayMs);
    }

    const SSimTiming real = SSimTiming::Real();
    timer.Set(real);
    const std::vector<SSimReply> paced = timer.Upload(blocks, 50);
    ASSERT_EQ((all.size() + real.batchBlockBytes - 1) / real.batchBlockBytes, paced.size());
    EXPECT_EQ(all, Joined(paced));
    EXPECT_TRUE(Within(paced[0].delayMs, real.batchStart)) << paced[0].delayMs;
    bool cutInsideACode = false;
    for (size_t i = 1; i < paced.size(); ++i) {
        EXPECT_TRUE(Within(paced[i].delayMs, real.batchBlockPause)) << paced[i].delayMs;
        cutInsideACode = cutInsideACode || paced[i - 1].bytes.back() != '\n';
    }
    EXPECT_TRUE(cutInsideACode);
    EXPECT_TRUE(timer.Upload({}, 50).empty());
}

// A file under /tmp removed at the end of the test.
struct SScratchFile {
    explicit SScratchFile(const std::string& content)
        : path(testing::TempDir() + "vostrel-sim-" + std::to_string(getpid()) + "-" + std::to_string(++s_made) + ".xml")
    {
        std::ofstream(path, std::ios::binary) << content;
    }
    ~SScratchFile() { std::remove(path.c_str()); }
    const std::string& Path() const { return path; }
    std::string path;
    static inline int s_made = 0;
};

TEST(SimModelFileTest, Load_TakesKeysOfParenthesisItemsAndLabelFirstListsAndRefusesBrokenFiles)
{
    SScratchFile file("<?xml version=\"1.0\" encoding=\"UTF-8\"?><DeviceConfiguration>"
                      "<Command><CommandName>AAAKEY</CommandName><ControlType>COMBOBOX</ControlType>"
                      "<SettingsList>ID_ON(1)|ID_OFF(0)</SettingsList><Default>ID_ON</Default></Command>"
                      "<Command><CommandName>AAALAB</CommandName><ControlType>COMBOBOXCUSTOM</ControlType>"
                      "<SettingsList>Fast:3|Slow:9</SettingsList><Default>3</Default></Command>"
                      "<Command><CommandName>CMDCTR</CommandName><ControlType>COMMANDCENTER</ControlType></Command>"
                      "</DeviceConfiguration>");
    CSimSettingsDatabase database;
    std::string error;
    ASSERT_TRUE(CSimModelFile::Load(file.Path(), database, error)) << error;
    EXPECT_EQ("ID_ON|ID_OFF", database.Find("AAAKEY")->RangeText());
    EXPECT_TRUE(database.Find("AAAKEY")->Accepts("ID_OFF"));
    EXPECT_FALSE(database.Find("AAAKEY")->Accepts("0"));
    EXPECT_EQ("3|9", database.Find("AAALAB")->RangeText());
    EXPECT_TRUE(database.Find("AAALAB")->Accepts("9"));
    EXPECT_FALSE(database.Find("AAALAB")->Accepts("Slow"));
    EXPECT_EQ(nullptr, database.Find("CMDCTR")) << "the tool's own panel is no setting of the scanner";

    // A broken file leaves what was loaded before.
    database = CSimSettingsDatabase();
    ASSERT_TRUE(CSimModelFile::Load(FixtureModelPath(), database, error));
    const SScratchFile cut("<?xml version=\"1.0\"?><DeviceConfiguration><Command><CommandName>A");
    const SScratchFile wrongRoot("<?xml version=\"1.0\"?><Pages><Command><CommandName>AAABBB</CommandName></Command></Pages>");
    const SScratchFile binary(std::string("\x00\xFF\xFE garbage \x01\x02", 14));
    // Its tree's clean-up would recurse 200000 deep.
    const SScratchFile deep("<DeviceConfiguration>" + Nested(200000) + "</DeviceConfiguration>");
    for (const std::string& path : {cut.Path(), wrongRoot.Path(), binary.Path(), deep.Path(), std::string("/nonexistent/model.xml"),
                                    std::string("/dev/zero")}) {
        error.clear();
        EXPECT_FALSE(CSimModelFile::Load(path, database, error)) << path;
        EXPECT_NE(std::string::npos, error.find(path));
    }
    EXPECT_EQ(7u, database.Count());
}

// Every command file the shipped catalogue names loads here, and every setting takes
// its own default: a simulated scanner of any shipped model starts in a state that it
// would also accept from the tool.
TEST(SimModelFileTest, ShippedModelFiles_LoadAndAcceptTheirOwnDefaults)
{
    const std::string config = std::string(VOSTREL_SIM_TEST_DATA) + "/../../../data/Config/";
    wxLogNull quiet;
    wxXmlDocument catalogue;
    ASSERT_TRUE(catalogue.Load(wxString::FromUTF8((config + "devicesinfo.xml").c_str()), "UTF-8"));
    ASSERT_NE(nullptr, catalogue.GetRoot());
    size_t models = 0;
    bool industrial = false;
    for (const wxXmlNode* category = catalogue.GetRoot()->GetChildren(); category; category = category->GetNext()) {
        for (const wxXmlNode* device = category->GetChildren(); device; device = device->GetNext()) {
            if (device->GetType() != wxXML_ELEMENT_NODE || device->GetName() != "Device")
                continue;
            const std::string key(device->GetAttribute("key").utf8_str());
            const std::string path = config + std::string(device->GetAttribute("link").utf8_str());
            SCOPED_TRACE(key + ": " + path);
            CSimSettingsDatabase database;
            std::string error;
            ASSERT_TRUE(CSimModelFile::Load(path, database, error)) << error;
            // The HI880 is the industrial model with the full command set.
            const bool full = key == "HBS-HI880";
            industrial = industrial || full;
            EXPECT_GE(database.Count(), full ? 300u : 60u);
            for (const CSimSetting& setting : database.All())
                EXPECT_TRUE(setting.Accepts(setting.Default())) << setting.Name() << " refuses \"" << setting.Default() << "\"";
            ++models;
        }
    }
    EXPECT_GE(models, 6u);
    EXPECT_TRUE(industrial);
}

class SimulatedScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scanner = FixtureScanner();
        ASSERT_TRUE(m_scanner);
    }

    std::unique_ptr<CSimulatedScanner> m_scanner;
};

// One rule of the protocol: requests sent in turn to a fresh scanner and the replies
// it must give, items as packed between the header "@" and the closing ";" 0x03.
TEST(SimulatedScannerRuleTest, AnswersEachRequestAsTheProtocolSays)
{
    const struct {
        const char* rule;
        std::vector<std::pair<std::string, std::string>> exchanges;
    } kRules[] = {
        {"IdentityQueryAnswersSystemProductAndSerialInOneGroup",
         {{"@QRYSYS,PDN,PSN", "@QRYSYSFirmware: V2.1\x06,PDNProduct Name: HBS-T100\r\n\x06,PSNSerial Number: SN0042\r\n\x06"},
          {"@BASQSY;BUFQRY;QRYDCV", "@BASQSYKernel: V1.0.0\x06;BUFQRY1024\x06;QRYDCVDecoder: SIM-D1\x06"}}},
        {"IdentityIsReadOnly",
         {{"@QRYPDNOTHER", "@QRYPDNOTHER\x15"}, {"@QRYPDN", "@QRYPDNProduct Name: HBS-T100\r\n\x06"}}},
        {"WholeListQueriesAnswerEverySettingInFileOrderJoinedByGroup",
         {{"@*", "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06"},
          {"@&", "@232BAD4\x06,PAR0\x06;SCNMOD0\x06,TMO30\x06;PRESTR\x06,SUF\x06;TRMHEX0D\x06"},
          {"@^", "@232BAD0|1|4|8\x06,PAR0-2_0|1|2\x06;SCNMOD0|2|5-7\x06,TMO1-3600\x06;PRESTR0-10\x06,SUF\x06;TRMHEX00-FF\x06"}}},
        {"PerCommandQueriesAnswerCurrentDefaultAndRange",
         {{"@SCNTMO99", "@SCNTMO99\x06"}, {"@SCNTMO*", "@SCNTMO99\x06"}, {"@SCNTMO", "@SCNTMO99\x06"},
          {"@SCNTMO&", "@SCNTMO30\x06"}, {"@SCNTMO^", "@SCNTMO1-3600\x06"}}},
        {"ValueOutsideRangeOrListIsRefusedWithNakAndChangesNothing",
         {{"@SCNTMO0", "@SCNTMO0\x15"}, {"@SCNTMO3601", "@SCNTMO3601\x15"}, {"@SCNTMOabc", "@SCNTMOabc\x15"},
          {"@232BAD5", "@232BAD5\x15"}, {"@232PAR3", "@232PAR3\x15"}, {"@SCNTMO*;232BAD*", "@SCNTMO30\x06;232BAD4\x06"}}},
        {"ValueInListOrListRangeIsAccepted",
         {{"@232BAD8", "@232BAD8\x06"}, {"@SCNMOD6", "@SCNMOD6\x06"}, {"@SCNMOD3", "@SCNMOD3\x15"}, {"@SCNMOD2", "@SCNMOD2\x06"}}},
        {"HexAndTextSettingsCheckDigitsAndLength",
         {{"@TRMHEXFF", "@TRMHEXFF\x06"}, {"@TRMHEX1G", "@TRMHEX1G\x15"}, {"@TRMHEX100", "@TRMHEX100\x15"},
          {"@PRESTRABCDEFGHIJ", "@PRESTRABCDEFGHIJ\x06"}, {"@PRESTRABCDEFGHIJK", "@PRESTRABCDEFGHIJK\x15"},
          {"@PRESUFany text at all", "@PRESUFany text at all\x06"}}},
        {"UnknownCommandIsAnsweredWithEnq", {{"@XYZABC1", "@XYZABC1\x05"}, {"@XY", "@XY\x05"}}},
        {"SeveralCommandsAreAnsweredInOrderJoinedByGroup",
         {{"@232BAD8,PAR1;SCNTMO*;XYZABC;232PAR*", "@232BAD8\x06,PAR1\x06;SCNTMO30\x06;XYZABC\x05;232PAR1\x06"},
          {"@232BAD8,PAR7,XYZ", "@232BAD8\x06,PAR7\x15,XYZ\x05"}}},
        {"AnItemHoldingItsGroupNameIsWrittenInFullSoTheToolCanSplitIt", {{"@PRESTRab,SUFPRE", "@PRESTRab\x06;PRESUFPRE\x06"}}},
        {"ValuesHoldingCommaOrSemicolonStayWhole",
         {{"@PRESTRa,b,SUFc;d", "@PRESTRa,b\x06,SUFc;d\x06"}, {"@PRESTR*;PRESUF*", "@PRESTRa,b\x06,SUFc;d\x06"}}},
    };
    for (const auto& [rule, exchanges] : kRules) {
        SCOPED_TRACE(rule);
        std::unique_ptr<CSimulatedScanner> scanner = FixtureScanner();
        ASSERT_TRUE(scanner);
        for (const auto& [request, items] : exchanges) {
            const std::vector<SSimReply> replies = scanner->Feed(Request(request));
            ASSERT_EQ(1u, replies.size()) << request;
            EXPECT_EQ(kHead + items + ";\x03", replies[0].bytes) << request;
        }
    }
}

// Only a whole, well-formed frame is answered: bytes around it are ignored, a frame
// split over reads is answered once complete. (A frame at another line rate than the
// scanner's is noise: the detection through a virtual port shows that.)
TEST_F(SimulatedScannerTest, OnlyWholeFramesAreAnswered)
{
    for (const char* malformed : {"~\x01" "0001@SCNTMO*;\x03", "~\x01" "0000!SCNTMO*;\x03", "~\x01" "00;\x03"})
        EXPECT_TRUE(m_scanner->Feed(std::string(malformed)).empty()) << malformed;
    EXPECT_TRUE(m_scanner->Feed(std::string("~")).empty());
    EXPECT_TRUE(m_scanner->Feed(std::string("\x01" "0000@SCNTMO*;")).empty());
    std::vector<SSimReply> replies = m_scanner->Feed(std::string("\x03") + std::string("\xFF\x00noise~~\x01", 10) +
                                                     "0000@SCN" + Request("@SCNTMO*") + "trailing~");
    ASSERT_EQ(2u, replies.size());
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[0].bytes);
    EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", replies[1].bytes);
}

TEST_F(SimulatedScannerTest, RandomBytes_NeitherCrashNorBlockTheNextRequest)
{
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 200000; ++i) {
        // Mostly frame characters, so that many half-frames and odd commands form.
        static const char kAlphabet[] = "~\x01\x03;,@#*&^0SCNTMO232BADPARXYZ";
        noise += kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    m_scanner->Feed(noise);
    const std::vector<SSimReply> replies = m_scanner->Feed(Request("@SCNMOD*"));
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(kHead + "@SCNMOD" + m_scanner->CurrentValue("SCNMOD") + "\x06;\x03", replies.back().bytes);
}

const std::string kGarbage("\xFF\x00\x13\x7E\x55\xAA", 6);

// Every fault, written as on the command line, shapes the reply to a request, changes
// nothing in the scanner and goes away when cleared.
TEST(SimulatedScannerFaultTest, ShapesTheReplyAndLeavesWhenCleared)
{
    const struct {
        const char* fault;
        const char* request;
        bool replied;
        std::string bytes;
        bool disconnect;
        int delayMs;
        int byteGapMs;
    } cases[] = {
        {"silence", "@SCNTMO*", false, "", false, 0, 0},
        {"nak:SCNTMO", "@SCNTMO99;232BAD8", true, kHead + "@SCNTMO99\x15;232BAD8\x06;\x03", false, 0, 0},
        {"enq:QRYPDN", "@QRYPDN", true, kHead + "@QRYPDN\x05;\x03", false, 0, 0},
        {"garbage", "@SCNTMO*", true, kGarbage + kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
        {"garbage:instead", "@SCNTMO*", true, kGarbage, false, 0, 0},
        {"cut:9", "@SCNTMO*", true, kHead + "@SC", false, 0, 0},
        {"cut:0", "@SCNTMO*", true, "", false, 0, 0},
        {"disconnect:4", "@SCNTMO*", true, "\x02\x01" "00", true, 0, 0},
        {"disconnect:4:1", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 0, 0},
        {"slow:100", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 100, 0},
        {"slow:250:3", "@SCNTMO*", true, kHead + "@SCNTMO30\x06;\x03", false, 250, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        std::unique_ptr<CSimulatedScanner> scanner = FixtureScanner();
        ASSERT_TRUE(scanner);
        SSimFaultPlan plan;
        ASSERT_TRUE(plan.Add(c.fault));
        scanner->Faults().Set(plan);
        const std::vector<SSimReply> replies = scanner->Feed(Request(c.request));
        ASSERT_EQ(c.replied ? 1u : 0u, replies.size());
        if (c.replied) {
            EXPECT_EQ(c.bytes, replies[0].bytes);
            EXPECT_EQ(c.disconnect, replies[0].disconnect);
            EXPECT_EQ(c.delayMs, replies[0].delayMs);
            EXPECT_EQ(c.byteGapMs, replies[0].byteGapMs);
        }
        scanner->Faults().Clear();
        const std::vector<SSimReply> healthy = scanner->Feed(Request("@SCNTMO*"));
        ASSERT_EQ(1u, healthy.size());
        EXPECT_EQ(kHead + "@SCNTMO30\x06;\x03", healthy[0].bytes);
    }
}

TEST(SimFaultPlanTest, Add_RefusesMalformedFaults)
{
    SSimFaultPlan plan;
    for (const char* bad : {"", "silence:1", "garbage:after", "cut", "cut:", "cut:-1", "cut:x", "slow:1:2:3",
                            "slow:", "disconnect:1:x", "disconnect:1:2:3", "nak:", "nak:TOOLONGNAME", "enq:ABC", "explode"})
        EXPECT_FALSE(plan.Add(bad)) << bad;
}

}  // namespace
