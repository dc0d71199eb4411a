// The terminal and the batch fetch against the simulated scanner over the real link:
// reads it makes by itself arrive as device lines, its batch store comes back whole.
#include "batchdata/BatchDataFetch.h"
#include "cmdcenter/CommandCenterSession.h"
#include "simulator/InProcessScanner.h"
#include "support/LinkFixture.h"
#include "simulator/SimTestSupport.h"
#include "support/CoreTest.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class SimulatedScannerTerminalTest : public CCoreTest {
protected:
    void SetUp() override
    {
        auto scanner = FixtureScanner(115200);
        ASSERT_TRUE(scanner);
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
    }
    void Plug()
    {
        const uint32_t port = m_scanner->Start();
        ASSERT_NE(0u, port);
        ASSERT_NE(nullptr, OpenTestDevice(port, 115200, 300));
    }

    std::unique_ptr<CInProcessScanner> m_scanner;
    CDeviceTerminalLink m_link;
};

TEST_F(SimulatedScannerTerminalTest, StoredCodesComeBackAsEntries)
{
    m_scanner->Scanner().BatchStore().Add("A");
    m_scanner->Scanner().BatchStore().Add("B");
    Plug();
    std::vector<wxString> entries;
    ASSERT_TRUE(CBatchDataFetch(m_link, 200).Fetch(entries));
    EXPECT_EQ((std::vector<wxString>{"A", "\r\nB", ""}), entries);
}

// A scanner that keeps reading while it sends its store: every stored code comes
// back, in order, and nothing of the packed reads is taken for stored data.
TEST_F(SimulatedScannerTerminalTest, StoredCodesComeBackWholeWhileTheScannerReads)
{
    wxString expected;
    for (int i = 0; i < 200; ++i) {
        m_scanner->Scanner().BatchStore().Add(wxString::Format("STORED%03d", i).ToStdString());
        expected += wxString::Format("STORED%03d", i);
    }
    CSimScanEmitter& emitter = m_scanner->Scanner().ScanEmitter();
    emitter.SetReads({{4, "6901234567892"}});
    emitter.SetPacking(ESimPacking::CODE_ID);
    emitter.SetPeriod(20, true);
    Plug();
    std::vector<wxString> entries;
    ASSERT_TRUE(CBatchDataFetch(m_link, 200).Fetch(entries));
    wxString stored;
    for (const wxString& entry : entries)
        stored += entry;
    stored.Replace("\r\n", "");
    EXPECT_EQ(expected, stored);
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
