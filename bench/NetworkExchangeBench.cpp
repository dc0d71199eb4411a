// "@*" of the HI880 model from the vostrel-scanner-sim program served by ser2net as an
// RFC 2217 port on the loopback interface, the line at 115200 baud.
//
//   build/default/bin/network_exchange_bench
//
// The simulator paces its reply like a real line, so the floor is the reply's wire time
// (10 bit times per byte) plus the 25 ms the engine waits before every request;
// `vs_wire` is the measured time over the wire time alone. Needs ser2net on the PATH.
#include "config/SaveCfg.h"
#include "device/HBDataStreamMnt.h"

#include <benchmark/benchmark.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const uint32_t kBaud = 115200;
const double kRequestWaitMs = 25.0;

// A child program for the length of a benchmark; its first output line is kept.
class CChildProgram {
public:
    explicit CChildProgram(std::vector<std::string> arguments)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        m_output = fdopen(out[0], "r");
    }
    ~CChildProgram()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_output)
            fclose(m_output);
    }
    std::string FirstLine()
    {
        char line[256] = {};
        if (!m_output || !fgets(line, sizeof line, m_output))
            return std::string();
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

private:
    pid_t m_pid = -1;
    FILE* m_output = nullptr;
};

uint16_t FreeLoopbackPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

void ReadAllValuesThroughSer2net(benchmark::State& state)
{
    const std::string model = VOSTREL_BENCH_DATA "/Config/HI880.xml";
    CChildProgram simulator({VOSTREL_SIM_PROGRAM, "--model", model, "--product", "HBS-HI880", "--baud", "115200"});
    const std::string pty = simulator.FirstLine();
    const uint16_t port = FreeLoopbackPort();
    char folder[] = "/tmp/vostrel-bench-XXXXXX";
    if (pty.empty() || !mkdtemp(folder)) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    const std::string config = std::string(folder) + "/ser2net.yaml";
    std::ofstream(config) << "connection: &bench\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << port
                          << "\n  connector: serialdev," << pty << ",9600n81,local\n";
    CChildProgram server({"ser2net", "-n", "-u", "-c", config});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // until it listens

    CHBDataStreamMnt& link = CHBDataStreamMnt::GetInstance();
    DeviceEntry* entry = link.AddSerialPort("rfc2217://127.0.0.1:" + std::to_string(port), kBaud);
    if (!entry || !link.OpenDevice(entry)) {
        state.SkipWithError("ser2net could not be reached (is it installed?)");
        return;
    }
    CSaveCfg& engine = CSaveCfg::GetInstance();
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        size_t count = 0;
        if (!engine.SendCommand(L"@*", L"", count) || count == 0) {
            state.SkipWithError("the reply did not come");
            break;
        }
        bytes = link.GetReceivedLength();
    }
    const double eachMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
                          static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    link.CloseDevice(0);
    const double wireMs = static_cast<double>(bytes) * 10.0 * 1000.0 / kBaud;
    state.counters["vs_wire"] = wireMs > 0 ? eachMs / wireMs : 0;
    state.counters["reply_bytes"] = static_cast<double>(bytes);
    state.counters["wire_ms"] = wireMs;
    state.counters["floor_ms"] = wireMs + kRequestWaitMs;
    CSaveCfg::ResetInstance();
    CHBDataStreamMnt::ResetInstance();
    std::remove(config.c_str());
    rmdir(folder);
}
BENCHMARK(ReadAllValuesThroughSer2net)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
