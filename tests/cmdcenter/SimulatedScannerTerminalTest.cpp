// The terminal and the batch fetch against the simulated scanner over the real link:
// reads it makes by itself arrive as device lines, its batch store comes back whole.
#include "BatchDataFetch.h"
#include "CommandCenterSession.h"
#include "InProcessScanner.h"
#include "LinkFixture.h"
#include "../simulator/SimTestSupport.h"
#include "CoreTest.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class SimulatedScannerTerminalTest : public CCoreTest {
protected:
    void SetUp() override { m_scanner = std::make_unique<CInProcessScanner>(FixtureScanner(115200)); }
    void Plug() { ASSERT_NE(nullptr, OpenTestDevice(m_scanner->Start(), 115200, 300)); }

    std::unique_ptr<CInProcessScanner> m_scanner;
    CDeviceTerminalLink m_link;
};

TEST_F(SimulatedScannerTerminalTest, StoredCodesComeBackAsEntries)
{
    for (const char* code : {"A", "B"})
        m_scanner->Scanner().BatchStore().Add(code);
    Plug();
    std::vector<wxString> entries;
    ASSERT_TRUE(CBatchDataFetch(m_link, 200).Fetch(entries));
    EXPECT_EQ((std::vector<wxString>{"A", "\r\nB", ""}), entries);
}

TEST_F(SimulatedScannerTerminalTest, PackedReadsArriveWithTheNameOfTheirMark)
{
    CSimScanEmitter& emitter = m_scanner->Scanner().ScanEmitter();
    emitter.SetReads({{4, "6901234567892"}});
    emitter.SetPacking(ESimPacking::CODE_ID);
    emitter.SetPeriod(150, true);
    Plug();
    std::vector<wxString> lines;
    CCommandCenterSession session(m_link, [&lines](const STerminalOutput& output) { lines.push_back(output.text); });
    CSymbologiesXmlInfo names;
    ASSERT_TRUE(names.Load(VOSTREL_DATA_DIR "/Config/Symbologies.xml", "CommandCenterDlg.cpp"));
    session.SetSymbologies(names);
    session.Options().packedData = true;
    session.SetReaderEnabled(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (lines.empty() && std::chrono::steady_clock::now() < deadline)
        session.RunOneStep();
    // A slow step may find a second read behind the first; each is a line of its own.
    ASSERT_FALSE(lines.empty());
    for (const wxString& line : lines)
        EXPECT_EQ("Device: Code ID packet\r\n6901234567892\r\n", line);
}

}  // namespace
