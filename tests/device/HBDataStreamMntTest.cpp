// The device link manager: enumeration and identification of simulated scanners,
// reading replies with their time-outs, frames, image lengths and error texts; and
// the framing rules the link reads by: where a reply begins behind the scanner's own
// output, and which bytes make a whole packed data frame.
#include "device/DeviceInfo.h"
#include "device/ExchangeFrame.h"
#include "simulator/InProcessScanner.h"
#include "simulator/PtyScanner.h"
#include "simulator/SimulatedScanner.h"
#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <map>
#include <thread>
#include <tuple>

namespace {

std::unique_ptr<CSimulatedScanner> SimulatedScanner(const std::string& product, uint32_t baud)
{
    SSimScannerProfile profile;
    profile.productName = product;
    profile.serialNumber = "SN-" + product;
    profile.baudRate = baud;
    std::string error;
    auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml", profile, error);
    EXPECT_TRUE(scanner) << error;
    return scanner;
}

class LinkTest : public CCoreTest {
protected:

    DeviceEntry* OpenScripted(CScriptedScanner& scanner)
    {
        DeviceEntry* added = OpenTestDevice(scanner.Path(), 115200, m_link.GetReadTimeout());
        EXPECT_NE(nullptr, added);
        return added;
    }

    CHBDataStreamMnt& m_link = CHBDataStreamMnt::GetInstance();
};

}  // namespace

TEST_F(LinkTest, ALimitedReadStopsAtTheLimitEvenWhileDataKeepsComing)
{
    CScriptedScanner scanner;
    OpenScripted(scanner);
    m_link.SetReadTimeout(2000);
    std::atomic<bool> stop{false};
    std::thread dribble([&] {
        scanner.Terminal().Send(std::string("\x02\x01" "0000@", 7));
        while (!stop) {
            scanner.Terminal().Send("x");
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        }
    });
    const auto start = Clock::now();
    EXPECT_TRUE(m_link.ReadReply(500));
    const long long elapsed = MillisecondsSince(start);
    stop = true;
    dribble.join();
    EXPECT_GE(elapsed, 450);
    EXPECT_LT(elapsed, 900);
    EXPECT_EQ(2000, m_link.GetReadTimeout());
}

TEST_F(LinkTest, ALongReplyGrowsTheBufferAndArrivesWholeAndOnlyUtf8IsDecodedAsUtf8)
{
    CScriptedScanner scanner;
    OpenScripted(scanner);
    std::string reply("\x02\x01" "0000@", 7);
    while (reply.size() < 300000)
        reply += "C39LEN" + std::to_string(reply.size() % 97) + "\x06;";
    reply += "\x03";
    std::thread send([&] { scanner.Terminal().Send(reply); });
    EXPECT_TRUE(m_link.ReadReply(0));
    send.join();
    EXPECT_EQ(reply.size(), m_link.GetReceivedLength());
    EXPECT_GE(m_link.GetReceiveCapacity(), reply.size() + 10240);
    size_t length = 0;
    const wchar_t* text = m_link.GetReplyTextAnsi(length);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(reply.size(), length);
    // Replies decode as UTF-8 only when they are UTF-8.
    std::thread sendCjk([&] { scanner.Terminal().Send("\xe6\x89\xab"); });  // one CJK character
    ASSERT_TRUE(m_link.ReadReply(0));
    sendCjk.join();
    text = m_link.GetReplyText(length);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(1u, length);
    EXPECT_EQ(L'\x626b', text[0]);
    std::thread sendLatin([&] { scanner.Terminal().Send("caf\xe9"); });
    ASSERT_TRUE(m_link.ReadReply(0));
    sendLatin.join();
    text = m_link.GetReplyText(length);
    ASSERT_EQ(4u, length);
    EXPECT_EQ(L'\xe9', text[3]);
}

TEST_F(LinkTest, ClosingTheDeviceCancelsAReadInProgress)
{
    CScriptedScanner scanner;
    OpenScripted(scanner);
    m_link.SetReadTimeout(2000);
    std::thread closer([&] {
        scanner.Terminal().Send(std::string("\x02\x01" "0000@", 7));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        m_link.CloseDevice(0);
    });
    const auto start = Clock::now();
    EXPECT_FALSE(m_link.ReadReply(0));
    closer.join();
    EXPECT_LT(MillisecondsSince(start), 1500);
    EXPECT_TRUE(m_link.IsCancelled());
}

TEST_F(LinkTest, ScannersWithoutAModelAreRemovedAndTheCurrentOneWithThem)
{
    CScriptedScanner scanner;
    DeviceEntry* open = OpenScripted(scanner);
    auto matched = std::make_unique<DeviceEntry>();
    matched->model = std::make_unique<CDeviceInfo>();
    matched->productName = "HBS-HS620";
    m_link.AddDevice(std::move(matched));
    ASSERT_EQ(open, m_link.GetCurrentDevice());

    m_link.RemoveUnmatched();
    ASSERT_EQ(1u, m_link.GetDeviceCount());
    EXPECT_EQ("HBS-HS620", m_link.GetDevice(0)->productName);
    EXPECT_EQ(nullptr, m_link.GetCurrentDevice());
    EXPECT_FALSE(m_link.IsOpen());
}

TEST_F(LinkTest, APortGivenByPathIsFoundAtTheRateItAnswersAt)
{
    CScriptedScanner scanner;
    const std::string identity = ReplyFrame("QRYSYSFirmware: V3\x06,PDNHBS-HS620\x06,PSNSN77\x06");
    scanner.Script({identity, identity, identity, identity, identity, identity, identity, identity});
    ASSERT_EQ(1, m_link.EnumSerialPort(scanner.Path(), 115200, CSaveCfg::AskPort));
    EXPECT_EQ(std::make_tuple("HBS-HS620", "SN77", 115200u),
              std::make_tuple(m_link.GetDevice(0)->productName, m_link.GetDevice(0)->serialNumber, +m_link.GetDevice(0)->serial.baudRate));
    EXPECT_EQ(nullptr, m_link.AddSerialPort("", 9600));

    // Something that answers but names no product is no scanner to work with.
    scanner.Script({ReplyFrame("QRYSYSFirmware: V3\x06,PSNSN77\x06"), ""});
    m_link.SetReadTimeout(150);
    EXPECT_EQ(0, m_link.EnumSerialPort(scanner.Path(), 115200, CSaveCfg::AskPort));
}

TEST_F(LinkTest, ASlowScannersLateReplyDoesNotPassForAnAnswerAtTheNextRate)
{
    // Its answer to the probe at 115200 comes while later rates are being probed.
    CPtyScanner scanner(SimulatedScanner("HBS-HI880", 115200));
    SSimFaultPlan plan;
    ASSERT_TRUE(plan.Add("slow:300"));
    scanner.Scanner().Faults().Set(plan);
    std::string error;
    ASSERT_TRUE(scanner.Start(error)) << error;

    ASSERT_EQ(1, m_link.EnumSerialPort(scanner.Path(), 0, CSaveCfg::AskPort));
    EXPECT_EQ(115200u, m_link.GetDevice(0)->serial.baudRate);
    EXPECT_EQ("HBS-HI880", m_link.GetDevice(0)->productName);
}

TEST_F(LinkTest, ChangingTheLineParametersReachesTheOpenPort)
{
    CInProcessScanner scanner(SimulatedScanner("HBS-HI880", 115200));
    const uint32_t port = scanner.Start();
    ASSERT_NE(0u, port);
    DeviceEntry* entry = OpenTestDevice(port, 115200, 200);
    ASSERT_NE(nullptr, entry);
    wxString value;

    ASSERT_TRUE(m_link.SetBaudRate(9600));
    EXPECT_EQ(9600u, entry->serial.baudRate);
    EXPECT_FALSE(CSaveCfg::QueryCommand("QRYPDN", "", value));  // the scanner hears noise now
    ASSERT_TRUE(m_link.SetBaudRate(115200));
    EXPECT_TRUE(m_link.SetParity(0));
    EXPECT_TRUE(m_link.SetStopBits(0));
    EXPECT_TRUE(m_link.SetDataBits(8));
    EXPECT_TRUE(CSaveCfg::QueryCommand("QRYPDN", "", value));
}

TEST_F(LinkTest, AFailedOpenKeepsTheLibraryStatusAndNothingHappensOnTheClosedLink)
{
    auto entry = std::make_unique<DeviceEntry>();
    entry->kind = DEVICE_KIND_SERIAL;
    entry->serial.port = hbds_add_serial_path("/dev/vostrel-no-such-port");
    entry->serial.baudRate = 9600;
    entry->serial.dataBits = 8;
    DeviceEntry* added = m_link.AddDevice(std::move(entry));
    EXPECT_FALSE(m_link.OpenDevice(added));
    EXPECT_EQ(0u, added->handle);
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), added->status);
    EXPECT_FALSE(CHBDataStreamMnt::ErrorTextForStatus(added->status).empty());
    EXPECT_EQ(0u, m_link.Write(L"@*", 2));
    EXPECT_FALSE(m_link.ReadReply(0));
    EXPECT_FALSE(m_link.SetBaudRate(9600));
    EXPECT_TRUE(m_link.GetLastErrorText().empty());
    EXPECT_FALSE(m_link.OpenDevice(nullptr));
}

TEST(LinkStatusText, EveryLibraryCodeHasAUserTextExceptTheUnassignedOnes)
{
    for (uint32_t code : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 17u, 18u, 19u, 20u})
        EXPECT_FALSE(CHBDataStreamMnt::ErrorTextForStatus(code).empty()) << code;
    EXPECT_TRUE(CHBDataStreamMnt::ErrorTextForStatus(0).empty());
    EXPECT_TRUE(CHBDataStreamMnt::ErrorTextForStatus(15).empty());
    EXPECT_TRUE(CHBDataStreamMnt::ErrorTextForStatus(16).empty());
}

TEST(ImageLength, TheHeaderAnnouncesTheTotalAndTheFirstLayoutLooksForTheHFirst)
{
    // Second layout: header 12, length digits at 19.
    std::string reply(19, 'h');
    reply += "00000100";
    reply += std::string(10, 'p');
    const auto* bytes = reinterpret_cast<const uint8_t*>(reply.data());
    EXPECT_EQ(12u + 18u + 0x100u, CHBDataStreamMnt::ExpectedImageLength(bytes, reply.size(), false, false));
    EXPECT_EQ(0u, CHBDataStreamMnt::ExpectedImageLength(bytes, 31, false, false));
    // Header 8: the scan starts at 15; "H" found at distance 3.
    const std::string sized = std::string(15, 'h') + "abH0000002A" + std::string(20, 'p');
    EXPECT_EQ(8u + 18u + 0x2Au + 3u, CHBDataStreamMnt::ExpectedImageLength(reinterpret_cast<const uint8_t*>(sized.data()),
                                                                           sized.size(), true, false));

    std::string noH(15, 'h');
    noH += std::string(40, 'x');
    EXPECT_EQ(0u, CHBDataStreamMnt::ExpectedImageLength(reinterpret_cast<const uint8_t*>(noH.data()), noH.size(), true, false));
}


// Enumeration and a sweep identify every scanner (its product, serial number and rate)
// and leave a silent port out. The sweep asks every port at once, each over its own
// link, and leaves the list shown alone. Rates mixed so that detection takes a
// different time on every port: answers that crossed between the sweep's threads
// would name the wrong scanner.
TEST_F(LinkTest, EnumerationAndASweepIdentifyEveryScannerAtItsRateAndDropSilentPorts)
{
    const uint32_t rates[] = {9600, 115200, 57600, 38400, 19200, 115200};
    std::vector<std::unique_ptr<CInProcessScanner>> scanners;
    std::map<uint32_t, std::pair<std::string, uint32_t>> scannerOfPort;  // product and rate
    for (size_t i = 0; i < std::size(rates); ++i) {
        const std::string product = "HBS-S" + std::to_string(i);
        scanners.push_back(std::make_unique<CInProcessScanner>(SimulatedScanner(product, rates[i])));
        const uint32_t port = scanners.back()->Start();
        ASSERT_NE(0u, port);
        scannerOfPort[port] = {product, rates[i]};
    }
    CPseudoTerminal silent;
    hbds_add_serial_path(silent.Path().c_str());
    const auto expectIdentified = [&scannerOfPort](const DeviceEntry& entry) {
        ASSERT_EQ(1u, scannerOfPort.count(entry.serial.port));
        const auto& [product, rate] = scannerOfPort[entry.serial.port];
        EXPECT_EQ(product, entry.productName.utf8_string());
        EXPECT_EQ("SN-" + product, entry.serialNumber.utf8_string());
        EXPECT_EQ(rate, entry.serial.baudRate);
        EXPECT_EQ(0u, entry.handle);
    };
    ASSERT_EQ(static_cast<int>(std::size(rates)), m_link.EnumDevices(CSaveCfg::AskPort));
    for (size_t i = 0; i < std::size(rates); ++i) {
        const DeviceEntry& entry = *m_link.GetDevice(i);
        expectIdentified(entry);
        // The base system text follows the system text after a line break.
        EXPECT_TRUE(entry.systemInfo.EndsWith("\r\nKernel: V1.0.0")) << entry.systemInfo;
    }
    EXPECT_EQ(nullptr, m_link.GetCurrentDevice());
    const DeviceEntry* shown = m_link.GetDevice(0);

    const std::vector<std::unique_ptr<DeviceEntry>> swept = m_link.SweepPorts(CSaveCfg::AskPort);

    ASSERT_EQ(std::size(rates), swept.size());
    uint32_t previousPort = 0;
    for (const auto& entry : swept) {
        expectIdentified(*entry);
        EXPECT_GT(entry->serial.port, previousPort) << "the order of the port list is kept";
        previousPort = entry->serial.port;
    }
    EXPECT_EQ(shown, m_link.GetDevice(0)) << "the list shown stays until it is replaced";
    EXPECT_EQ(std::size(rates), m_link.GetDeviceCount());
    EXPECT_EQ(nullptr, m_link.GetCurrentDevice());
    for (const char* answer : {"Product Name: HBS-HI880\r\n", "Name:HBS-HI880", "HBS-\r\nHI880\r\n"})
        EXPECT_EQ("HBS-HI880", CHBDataStreamMnt::CleanIdentityValue(answer)) << answer;
    EXPECT_EQ(" x: y", CHBDataStreamMnt::CleanIdentityValue("a:  x: y"));
}

TEST_F(LinkTest, ARestartedScannerIsFoundAgainByItsIdentityOnWhateverPortItCameBackOn)
{
    struct SCase {
        const char* name;
        const char* serialNumber;  // what the entry knows
        const char* productName;
        bool found;
    };
    const SCase cases[] = {
        {"by its serial number", "SN-HBS-HI880", "HBS-HI880", true},
        {"by its product, without a serial number", "", "HBS-HI880", true},
        {"not another scanner's serial number", "SN-HBS-HS620", "HBS-HI880", false},
        {"not by a product nobody has", "", "HBS-HS620", false},
    };
    CInProcessScanner left(SimulatedScanner("HBS-HI880", 115200), "sim:LEFT");
    const uint32_t leftPort = left.Start();
    ASSERT_NE(0u, leftPort);
    left.Stop();
    CInProcessScanner other(SimulatedScanner("HBS-FM300", 115200), "sim:OTHER");
    CInProcessScanner back(SimulatedScanner("HBS-HI880", 115200), "sim:BACK");
    ASSERT_NE(0u, other.Start());
    ASSERT_NE(0u, back.Start());
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceEntry entry;
        entry.kind = DEVICE_KIND_SERIAL;
        entry.serial = SerialSettings{leftPort, 115200, 8, 0, 0, 0};
        entry.serialNumber = c.serialNumber;
        entry.productName = c.productName;
        EXPECT_EQ(c.found, CHBDataStreamMnt::FindAgain(entry));
        EXPECT_EQ(c.found ? back.Port() : leftPort, entry.serial.port);
        EXPECT_EQ(115200u, entry.serial.baudRate);
    }
}

namespace {

size_t ReplyStart(const std::string& bytes)
{
    return CExchangeFrame::ReplyStart(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

size_t FrameLength(const std::string& bytes)
{
    return CExchangeFrame::LeadingFrameLength(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(ExchangeFrame, AReplyBeginsAtItsHeaderOrAtAPieceThatMayStillBecomeOne)
{
    const struct {
        std::string bytes;
        size_t start;
    } cases[] = {
        {std::string("\x02\x01" "0000@A\x06;\x03"), 0},
        {std::string("6901234567892\r\n\x02\x01" "0000@A\x06;\x03"), 15},
        {std::string("CODE\r\n\x02\x01" "00"), 6},        // the header still arriving
        {std::string("CODE\r\n\x02"), 6},
        {std::string("CODE\r\n\x02\x00\x00\x01;A\x84", 13), 13},  // a packed frame is no reply
        {std::string("\x02\x01" "0001@", 6), 6},       // a wrong header, nothing after it
        {std::string(), 0},
    };
    for (const auto& row : cases)
        EXPECT_EQ(row.start, ReplyStart(row.bytes)) << row.bytes;
}

// 02 00 00 01 ";" "A" and the checksum FF ^ 00 ^ 01 ^ 3B ^ 41 = 84; with the mark "6"
// the length counts the checksum: 02 00 00 02 "6" "A" and FF ^ 00 ^ 02 ^ 36 ^ 41 = 8A.
// The check of a whole frame reports its mark; the leading frame is found by its length.
TEST(ExchangeFrame, APackedFrameIsWholeOnlyWithItsLengthMarkAndChecksum)
{
    const struct {
        std::string bytes;
        size_t length;  // of the leading frame, 0: none
        uint8_t mark;
    } cases[] = {
        {std::string("\x02\x00\x00\x01;A\x84", 7), 7, ';'},
        {std::string("\x02\x00\x00\x01;A\x84" "tail", 11), 7, ';'},
        {std::string("\x02\x00\x00\x02" "6A\x8A", 7), 7, '6'},
        {std::string("\x02\x00\x00\x01" "6\xC8", 6), 6, '6'},  // FF ^ 00 ^ 01 ^ 36 = C8
        {std::string("\x02\x00\x00\x01;A\x85", 7), 0, ';'},  // checksum
        {std::string("\x02\x00\x00\x01;A", 6), 0, ';'},      // cut off
        {std::string("\x02\x00\x00\x01:A\x84", 7), 0, ':'},  // mark
        {std::string("\x02\x01" "0000@", 7), 0, 0},         // a reply
        {std::string("\x02\x00\x00\x01;", 5), 0, 0},         // too short for a checksum
    };
    for (const auto& row : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(row.bytes.data());
        uint8_t mark = 0xEE;
        EXPECT_EQ(row.length, FrameLength(row.bytes)) << row.bytes.size();
        EXPECT_EQ(row.length == row.bytes.size(), CHBDataStreamMnt::CheckFrame(bytes, row.bytes.size(), mark))
            << row.bytes.size();
        EXPECT_EQ(row.mark, mark) << row.bytes.size();
    }
}

}  // namespace
