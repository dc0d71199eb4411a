// The simulated scanner on a virtual port, driven only through the device-link
// library's C operations, as the tool drives a scanner; and the registration rules
// of virtual ports, with a bare device instead of the simulator.
// The vostrel-scanner-sim program as the tool meets it: a child process that prints
// the path of its pseudo-terminal, reached through hbds_add_serial_path.
#include "SimTestSupport.h"
#include "hbds/hbds.h"
#include "simulator/InProcessScanner.h"
#include "simulator/SimulatorAttach.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class InProcessScannerTest : public ::testing::Test {
protected:
    void StartScanner(uint32_t baudRate, const std::string& name)
    {
        m_scanner = std::make_unique<CInProcessScanner>(FixtureScanner(baudRate), name);
        m_port = m_scanner->Start();
        ASSERT_NE(0u, m_port);
    }

    std::unique_ptr<CInProcessScanner> m_scanner;
    uint32_t m_port = 0;
};

TEST_F(InProcessScannerTest, Port_IsListedWhileItRunsAndNoLongerOnceStopped)
{
    StartScanner(9600, "sim:LISTED");
    SerialSettings ports[256];
    const int count = hbds_enum_serial_ports(ports, 256);
    EXPECT_TRUE(std::any_of(ports, ports + count, [this](const SerialSettings& port) { return port.port == m_port; }));

    m_scanner->Stop();
    const int after = hbds_enum_serial_ports(ports, 256);
    for (int i = 0; i < after; ++i)
        EXPECT_NE(m_port, ports[i].port);
}

TEST_F(InProcessScannerTest, Detection_FindsEveryRateAndARateGivenByHandOnlyWhereItAnswersUnderRealTiming)
{
    const uint32_t rates[] = {9600, 115200, 57600, 2400};
    for (uint32_t rate : rates) {
        SCOPED_TRACE(rate);
        std::unique_ptr<CSimulatedScanner> engine = FixtureScanner(rate);
        engine->SetTiming(SSimTiming::Real());
        CInProcessScanner scanner(std::move(engine), "sim:RATE-" + std::to_string(rate));
        const uint32_t port = scanner.Start();
        ASSERT_NE(0u, port);
        SerialSettings record = Line(port, 9600);
        ASSERT_EQ(1, hbds_detect_serial_settings(&record, 1, 100));
        EXPECT_EQ(rate, record.baudRate);
        EXPECT_EQ(1, hbds_probe_serial_rate(port, rate, 100));
        EXPECT_EQ(0, hbds_probe_serial_rate(port, rate == 9600 ? 115200 : 9600, 100));
    }
    const uint32_t none = hbds_add_serial_path("/dev/vostrel-none");
    EXPECT_EQ(0, hbds_probe_serial_rate(none, 9600, 100));
    SerialSettings missing = Line(none, 9600);
    ASSERT_EQ(1, hbds_detect_serial_settings(&missing, 1, 100));
    EXPECT_EQ(0u, missing.baudRate) << "a port that cannot be opened answers at no rate";
}

TEST_F(InProcessScannerTest, Reply_IsPacedAtTenBitsPerByte)
{
    StartScanner(9600, "sim:PACED");
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600));
    const auto start = Clock::now();
    const std::string reply = link.Exchange("@^");
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    ASSERT_EQ(93u, reply.size());
    // 93 bytes at 960 bytes a second take 97 ms on the wire.
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 1000);
}

TEST_F(InProcessScannerTest, RemovalDuringARead_EndsTheReadAtOnce)
{
    StartScanner(9600, "sim:MIDREAD");
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600));
    std::string got = "(not yet)";
    const auto start = Clock::now();
    std::thread reader([&] { got = link.Read(3000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m_scanner->Stop();
    reader.join();
    EXPECT_EQ("", got);
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), link.Status());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 1500);
}

TEST_F(InProcessScannerTest, Restart_KeepsThePortNumberAndLosesTemporaryValues)
{
    StartScanner(9600, "sim:RESTART");
    {
        CLink link;
        ASSERT_TRUE(link.Open(m_port, 9600));
        ASSERT_EQ(kHead + "#SCNTMO5\x06;\x03", link.Exchange("#SCNTMO5"));
        ASSERT_EQ(kHead + "@232PAR2\x06;\x03", link.Exchange("@232PAR2"));
    }
    m_scanner->Stop();
    ASSERT_EQ(m_port, m_scanner->Start());
    CLink link;
    ASSERT_TRUE(link.Open(m_port, 9600)) << link.Status();
    EXPECT_EQ(kHead + "@SCNTMO30\x06,MOD0\x06;232PAR2\x06;\x03", link.Exchange("@SCNTMO,MOD;232PAR"));
}

TEST(SimulatorAttachTest, Attach_PlugsInNamedScannersDetachUnplugsThemAndABadFileIsRefused)
{
    std::string error;
    const uint32_t first = AttachSimulatedScanner(FixtureModelPath(), "HBS-ATTACH", &error);
    ASSERT_NE(0u, first) << error;
    const uint32_t second = AttachSimulatedScanner(FixtureModelPath(), "HBS-ATTACH", &error);
    ASSERT_NE(0u, second) << error;
    char path[64] = {};
    ASSERT_TRUE(hbds_serial_port_path(first, path, sizeof path));
    EXPECT_STREQ("sim:HBS-ATTACH", path);
    ASSERT_TRUE(hbds_serial_port_path(second, path, sizeof path));
    EXPECT_STREQ("sim:HBS-ATTACH-2", path);

    CLink link;
    ASSERT_TRUE(link.Open(second, 9600));
    EXPECT_EQ(kHead + "@QRYPDNProduct Name: HBS-ATTACH\r\n\x06;\x03", link.Exchange("@QRYPDN"));
    EXPECT_TRUE(DetachSimulatedScanner(first));
    DetachAllSimulatedScanners();  // what the program does at its end
    EXPECT_FALSE(DetachSimulatedScanner(second));
    EXPECT_EQ(0, link.Write(Request("@QRYPDN")));
    EXPECT_EQ("", link.Read(200));
    EXPECT_EQ(static_cast<uint32_t>(HBDS_ERR_NOT_EXIST), link.Status());
    EXPECT_FALSE(CLink().Open(second, 9600));
    // A bad model file is refused with a reason.
    EXPECT_EQ(0u, AttachSimulatedScanner("/nonexistent/model.xml", "HBS-NONE", &error));
    EXPECT_NE(std::string::npos, error.find("/nonexistent/model.xml"));
}

TEST(VirtualPortTest, Add_RefusesEmptyNamesIncompleteDevicesAndTakenNames)
{
    HbdsVirtualDevice record{};
    record.receive = [](void*, const uint8_t*, uint32_t) {};
    record.send = [](void*, uint8_t*, uint32_t, int) { return 0; };
    EXPECT_EQ(0u, hbds_add_virtual_port("", &record));
    EXPECT_EQ(0u, hbds_add_virtual_port(nullptr, &record));
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:nodevice", nullptr));
    HbdsVirtualDevice noSend = record;
    noSend.send = nullptr;
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:nosend", &noSend));

    const uint32_t port = hbds_add_virtual_port("vp:taken", &record);
    ASSERT_NE(0u, port);
    EXPECT_EQ(0u, hbds_add_virtual_port("vp:taken", &record));
    hbds_remove_virtual_port(port);
    EXPECT_EQ(port, hbds_add_virtual_port("vp:taken", &record));
    hbds_remove_virtual_port(port);
    hbds_remove_virtual_port(port);  // a second removal is harmless
}

// The program started by a shell that first prints its own process id and then
// becomes the program, so that the test can signal it and popen's close reaps it.
class CSimulatorProcess {
public:
    explicit CSimulatorProcess(const std::vector<std::string>& arguments)
    {
        std::string command = "echo $$; exec " VOSTREL_SIM_PROGRAM;
        for (const std::string& argument : arguments)
            command += " '" + argument + "'";
        m_output = popen(command.c_str(), "r");
        const std::string pid = NextLine();
        m_pid = pid.empty() ? -1 : std::stoi(pid);
    }
    ~CSimulatorProcess()
    {
        if (m_output)
            Stop(SIGKILL);
    }

    // The next line the program printed, without its line break.
    std::string NextLine()
    {
        char line[256] = {};
        if (!m_output || !fgets(line, sizeof line, m_output))
            return std::string();
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }

    // Stops the program with `signal` (0: none, just wait) and returns its exit status.
    int Stop(int signal)
    {
        if (signal != 0 && m_pid > 0)
            kill(m_pid, signal);
        const int status = m_output ? pclose(m_output) : -1;
        m_output = nullptr;
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    FILE* m_output = nullptr;
    pid_t m_pid = -1;
};

std::string ExchangeOnPath(const std::string& path, uint32_t baudRate, const std::string& packed)
{
    CLink link;
    return link.Open(hbds_add_serial_path(path.c_str()), baudRate) ? link.Exchange(packed) : std::string();
}

TEST(PtyProgramTest, Program_AnswersOnThePrintedTerminalEndsOnSigtermRefusesBadOptionsAndCutsAtItsFault)
{
    CSimulatorProcess program({"--model", FixtureModelPath(), "--product", "PTY-1", "--serial", "P7", "--baud", "115200"});
    const std::string path = program.NextLine();
    ASSERT_EQ(0u, path.rfind("/dev/pts/", 0)) << path;
    EXPECT_EQ(kHead + "@QRYPDNProduct Name: PTY-1\r\n\x06,PSNSerial Number: P7\r\n\x06;\x03",
              ExchangeOnPath(path, 115200, "@QRYPDN,PSN"));
    EXPECT_EQ("", ExchangeOnPath(path, 9600, "@QRYPDN"));
    EXPECT_EQ(0, program.Stop(SIGTERM));
    CSimulatorProcess noFile({"--model", "/nonexistent/model.xml"});
    EXPECT_EQ("", noFile.NextLine());
    EXPECT_NE(0, noFile.Stop(0));
    CSimulatorProcess badFault({"--model", FixtureModelPath(), "--fault", "explode"});
    EXPECT_EQ("", badFault.NextLine());
    EXPECT_NE(0, badFault.Stop(0));
    CSimulatorProcess noModel({"--product", "X"});
    EXPECT_NE(0, noModel.Stop(0));
    // The disconnect fault closes the terminal after the partial reply.
    CSimulatorProcess cutting({"--model", FixtureModelPath(), "--baud", "115200", "--fault", "disconnect:6"});
    const std::string cutPath = cutting.NextLine();
    ASSERT_FALSE(cutPath.empty());
    EXPECT_EQ(kHead, ExchangeOnPath(cutPath, 115200, "@QRYPDN"));
    EXPECT_EQ(0, cutting.Stop(0));
}

}  // namespace
