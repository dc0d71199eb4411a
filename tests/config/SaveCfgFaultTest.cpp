// Every misbehaviour the simulated scanner can show ends in a failed exchange that
// says what went wrong, and the link is usable again once the scanner behaves.
#include "HBDataStreamMnt.h"
#include "InProcessScanner.h"
#include "SaveCfg.h"
#include "SimulatedScanner.h"

#include "LinkFixture.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

class SaveCfgFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SSimScannerProfile profile;
        profile.productName = "HBS-T100";
        profile.baudRate = 115200;
        std::string error;
        auto scanner = CSimulatedScanner::FromModelFile(VOSTREL_SIM_TEST_DATA "/SimTestModel.xml", profile, error);
        ASSERT_TRUE(scanner) << error;
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        const uint32_t port = m_scanner->Start();
        ASSERT_NE(0u, port);

        m_entry = OpenTestDevice(port, 115200, 300);
        ASSERT_NE(nullptr, m_entry);
    }
    void TearDown() override
    {
        CSaveCfg::ResetInstance();
        CHBDataStreamMnt::ResetInstance();
        m_scanner.reset();
    }

    void Inject(const std::string& fault)
    {
        SSimFaultPlan plan;
        ASSERT_TRUE(plan.Add(fault)) << fault;
        m_scanner->Scanner().Faults().Set(plan);
    }

    // Two commands of different groups, so that a cut can fall between their items.
    const ReplyItem* Query(size_t& count) { return m_engine.SendCommand(L"@232BAD*;SCNTMO*", L"", count); }

    void ExpectHealthyAgain()
    {
        m_scanner->Scanner().Faults().Clear();
        if (!m_link.IsOpen()) {
            ASSERT_TRUE(m_link.OpenDevice(m_entry));
        }
        size_t count = 0;
        ASSERT_NE(nullptr, Query(count));
        EXPECT_EQ(2u, count);
        EXPECT_TRUE(m_engine.GetErrorList().empty());
    }

    CHBDataStreamMnt& m_link = CHBDataStreamMnt::GetInstance();
    CSaveCfg& m_engine = CSaveCfg::GetInstance();
    std::unique_ptr<CInProcessScanner> m_scanner;
    DeviceEntry* m_entry = nullptr;
};

// A broken reply may still parse (an incomplete last item is dropped), so the
// failure shows where callers look: the value they asked for does not come.
TEST_F(SaveCfgFaultTest, BrokenRepliesNeverYieldTheValueAskedFor)
{
    // A reply slower than the time-out costs the read and its resend. Silence and a
    // reply that is no frame at all are the exchange tests' cases.
    for (const char* fault : {"slow:800", "cut:12", "cut:16", "disconnect:15"}) {
        Inject(fault);
        wxString value;
        const auto start = Clock::now();
        EXPECT_FALSE(CSaveCfg::QueryCommand("SCNTMO", "*", value)) << fault << " gave " << value;
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_LT(took, 2000) << fault;

        size_t count = 7;
        const ReplyItem* items = Query(count);
        EXPECT_TRUE(!items || count < 2) << fault;
        if (std::string(fault).rfind("disconnect", 0) == 0) {
            EXPECT_FALSE(m_link.GetLastErrorText().empty());
            m_link.CloseDevice(0);
            m_scanner->Stop();
            ASSERT_NE(0u, m_scanner->Start());
        }
        ExpectHealthyAgain();
    }
}

// Garbage in front of a reply ends the read at its first chunk, which holds no item;
// the reply that follows does not spoil the next exchange.
TEST_F(SaveCfgFaultTest, GarbageBeforeAReplyEndsTheReadWithoutItems)
{
    Inject("garbage");
    size_t count = 7;
    EXPECT_NE(nullptr, Query(count));
    EXPECT_EQ(0u, count);
    ExpectHealthyAgain();
}

}  // namespace
