// The vostrel-scanner-sim program as the tool meets it: a child process that prints
// the path of its pseudo-terminal, reached through hbds_add_serial_path.
#include "SimTestSupport.h"

#include "hbds/hbds.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {


class CSimulatorProcess {
public:
    explicit CSimulatorProcess(std::vector<std::string> arguments)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>(VOSTREL_SIM_PROGRAM)};
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(VOSTREL_SIM_PROGRAM, argv.data());
            _exit(127);
        }
        close(out[1]);
        m_output = fdopen(out[0], "r");
    }
    ~CSimulatorProcess()
    {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_output)
            fclose(m_output);
    }

    // The first line the program printed, without its line break.
    std::string FirstLine()
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
        if (signal != 0)
            kill(m_pid, signal);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
    FILE* m_output = nullptr;
};

std::string ExchangeOnPath(const std::string& path, uint32_t baudRate, const std::string& packed)
{
    CLink link;
    return link.Open(hbds_add_serial_path(path.c_str()), baudRate) ? link.Exchange(packed) : std::string();
}

TEST(PtyProgramTest, Program_AnswersOnThePrintedTerminalEndsOnSigtermAndRefusesBadOptions)
{
    CSimulatorProcess program({"--model", FixtureModelPath(), "--product", "PTY-1", "--serial", "P7", "--baud", "115200"});
    const std::string path = program.FirstLine();
    ASSERT_EQ(0u, path.rfind("/dev/pts/", 0)) << path;
    EXPECT_EQ(kHead + "@QRYPDNProduct Name: PTY-1\r\n\x06,PSNSerial Number: P7\r\n\x06;\x03",
              ExchangeOnPath(path, 115200, "@QRYPDN,PSN"));
    EXPECT_EQ("", ExchangeOnPath(path, 9600, "@QRYPDN"));
    EXPECT_EQ(0, program.Stop(SIGTERM));
    CSimulatorProcess noFile({"--model", "/nonexistent/model.xml"});
    EXPECT_EQ("", noFile.FirstLine());
    EXPECT_NE(0, noFile.Stop(0));
    CSimulatorProcess badFault({"--model", FixtureModelPath(), "--fault", "explode"});
    EXPECT_EQ("", badFault.FirstLine());
    EXPECT_NE(0, badFault.Stop(0));
    CSimulatorProcess noModel({"--product", "X"});
    EXPECT_NE(0, noModel.Stop(0));
}

TEST(PtyProgramTest, DisconnectFault_ClosesTheTerminalAfterThePartialReply)
{
    CSimulatorProcess program({"--model", FixtureModelPath(), "--baud", "115200", "--fault", "disconnect:6"});
    const std::string path = program.FirstLine();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(kHead, ExchangeOnPath(path, 115200, "@QRYPDN"));
    EXPECT_EQ(0, program.Stop(0));
}

}  // namespace
