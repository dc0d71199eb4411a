// The simulator program on its own pseudo-terminal, for benchmarks that meet it
// through a real serial device file. Needs VOSTREL_SIM_PROGRAM, the program's path.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// The simulator program on its own pseudo-terminal for the length of a benchmark.
class CSimulatorProgram {
public:
    // `timing` is the simulator's timing profile ("none" or "real").
    CSimulatorProgram(const std::string& model, uint32_t baud, const char* timing = "none")
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            const std::string rate = std::to_string(baud);
            execl(VOSTREL_SIM_PROGRAM, VOSTREL_SIM_PROGRAM, "--model", model.c_str(), "--product", "HBS-HI880",
                  "--baud", rate.c_str(), "--timing", timing, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        m_output = fdopen(out[0], "r");
        char line[256] = {};
        if (m_output && fgets(line, sizeof line, m_output)) {
            m_path = line;
            while (!m_path.empty() && (m_path.back() == '\n' || m_path.back() == '\r'))
                m_path.pop_back();
        }
    }
    ~CSimulatorProgram()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_output)
            fclose(m_output);
    }
    const std::string& Path() const { return m_path; }

private:
    pid_t m_pid = -1;
    FILE* m_output = nullptr;
    std::string m_path;
};
