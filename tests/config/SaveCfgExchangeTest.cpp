// Exchanges of the engine with a scanner played on a pseudo-terminal, and with a
// simulated scanner whose every misbehaviour ends in a failed exchange that says what
// went wrong, leaving the link usable once the scanner behaves again.
#include "simulator/InProcessScanner.h"
#include "simulator/SimulatedScanner.h"

#include "simulator/SimTestSupport.h"
#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>

namespace {

class SaveCfgExchangeTest : public CCoreTest {
protected:
    void SetUp() override
    {
        m_link = &CHBDataStreamMnt::GetInstance();
        ASSERT_NE(nullptr, OpenTestDevice(m_scanner.Path(), 115200, 300));
    }

    CScriptedScanner m_scanner;
    CHBDataStreamMnt* m_link = nullptr;
    CSaveCfg& m_engine = CSaveCfg::GetInstance();
};

}  // namespace

TEST_F(SaveCfgExchangeTest, AQueryOfAllValuesGoesOutWithOneMarkAndItsItemsComeBack)
{
    m_scanner.Script({ReplyFrame("232BAD5\x06,PAR0\x06;BEPLVL2\x06")});
    size_t count = 0;
    const ReplyItem* items = m_engine.SendCommand(L"@*", L"", count);
    ASSERT_NE(nullptr, items);
    ASSERT_EQ(3u, count);
    EXPECT_EQ(std::wstring(L"232PAR"), items[1].command);
    EXPECT_EQ(std::wstring(L"2"), items[2].value);
    ASSERT_EQ(1u, m_scanner.Requests().size());
    EXPECT_EQ(Request("@*"), m_scanner.Requests()[0]);
}

TEST_F(SaveCfgExchangeTest, MissingOrEmptyTextSendsNothingAndAnItemNotAcknowledgedFailsAndIsListed)
{
    size_t count = 3;
    EXPECT_EQ(nullptr, m_engine.SendCommand(nullptr, L"", count));
    EXPECT_EQ(nullptr, m_engine.SendCommand(L"", L"", count));
    EXPECT_EQ(0u, count);
    EXPECT_TRUE(m_scanner.Requests().empty());

    m_scanner.Script({ReplyFrame("232BAD9\x15,PAR0\x06;XYZABC\x05")});
    count = 7;
    EXPECT_EQ(nullptr, m_engine.SendCommand(L"232BAD9;232PAR0;XYZABC", L"", count));
    EXPECT_EQ(0u, count);
    ASSERT_EQ(2u, m_engine.GetErrorList().size());
    EXPECT_EQ("232BAD", m_engine.GetErrorList()[0]);
    EXPECT_EQ("XYZABC", m_engine.GetErrorList()[1]);
}

// How long a read waits is the link's business; here, that silence costs one resend.
TEST_F(SaveCfgExchangeTest, ASilentDeviceGetsOneResendAndAnAnswerToItIsTaken)
{
    size_t count = 0;
    EXPECT_EQ(nullptr, m_engine.SendCommand(L"BEPLVL", L"*", count));
    const auto requests = m_scanner.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(Request("@BEPLVL*"), requests[0]);
    EXPECT_EQ(requests[0], requests[1]);

    m_scanner.Script({"", ReplyFrame("BEPLVL2\x06")});
    wxString value;
    EXPECT_TRUE(CSaveCfg::QueryCommand("BEPLVL", "*", value));
    EXPECT_EQ("2", value);
    EXPECT_EQ(4u, m_scanner.Requests().size());
}

TEST_F(SaveCfgExchangeTest, ASettingIsSentTemporarilyAndJudgedByItsOwnItem)
{
    m_scanner.Script({ReplyFrame("232BAD7\x06"), ReplyFrame("232PAR1\x06")});
    wxString value;
    EXPECT_TRUE(CSaveCfg::SendSetting("232BAD", "7", value));
    EXPECT_EQ("7", value);
    EXPECT_EQ(Request("#232BAD7"), m_scanner.Requests()[0]);
    // An acknowledged item of another name does not count, and the value stays.
    value = "kept";
    EXPECT_FALSE(CSaveCfg::SendSetting("232BAD", "1", value));
    EXPECT_EQ("kept", value);
}

TEST_F(SaveCfgExchangeTest, AListExchangeLeavesTheJudgementToTheCaller)
{
    m_scanner.Script({ReplyFrame("232BAD5\x06,PAR9\x15"), ""});
    const wchar_t rows[2][16] = {L"232BAD5", L"232PAR9"};
    m_engine.ClearErrorList();
    EXPECT_TRUE(m_engine.SendCommandList(&rows[0][0], 2, 16));
    EXPECT_EQ(Request("@232BAD5,PAR9"), m_scanner.Requests()[0]);
    ASSERT_EQ(1u, m_engine.GetErrorList().size());
    EXPECT_EQ("232PAR", m_engine.GetErrorList()[0]);
    // Silence: false, no resend, and the list is kept for the caller.
    EXPECT_FALSE(m_engine.SendCommandList(&rows[0][0], 2, 16));
    EXPECT_EQ(2u, m_scanner.Requests().size());
    EXPECT_EQ(1u, m_engine.GetErrorList().size());
    // A list that cannot be written at all names every command of it.
    m_link->CloseDevice(0);
    const wchar_t unwritten[2][16] = {L"232BAD5", L"BEPLVL2"};
    m_engine.ClearErrorList();
    EXPECT_FALSE(m_engine.SendCommandList(&unwritten[0][0], 2, 16));
    ASSERT_EQ(2u, m_engine.GetErrorList().size());
    EXPECT_EQ("BEPLVL2", m_engine.GetErrorList()[1]);
}

// What the scanner sends by itself (a code it has just read) is no reply: the exchange
// does not take it for an empty one, and whoever shows the scanner's output gets it.
TEST_F(SaveCfgExchangeTest, DataThatIsNoReplyIsSetAsideAndTheExchangeFails)
{
    CHBDataStreamMnt::GetInstance().SetKeepDeviceOutput(true);
    m_scanner.Script({"6901234567892\r\n", ""});
    size_t count = 9;
    EXPECT_EQ(nullptr, m_engine.SendCommand(L"@*", L"", count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ("6901234567892\r\n", CHBDataStreamMnt::GetInstance().TakeDeviceOutput());
}

namespace {

class SaveCfgFaultTest : public CCoreTest {
protected:
    void SetUp() override
    {
        auto scanner = FixtureScanner(115200);
        ASSERT_TRUE(scanner);
        m_scanner = std::make_unique<CInProcessScanner>(std::move(scanner));
        const uint32_t port = m_scanner->Start();
        ASSERT_NE(0u, port);
        m_entry = OpenTestDevice(port, 115200, 300);
        ASSERT_NE(nullptr, m_entry);
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
        EXPECT_FALSE(CSaveCfg::QueryCommand("SCNTMO", "*", value)) << fault << " gave " << value;

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

// A reply that is not there at once is waited for, one request and the value. It
// comes well inside the read's time-out of 300 ms, so that a busy machine's delays do
// not turn it into the slow reply above.
TEST_F(SaveCfgFaultTest, AReplyInsideTheTimeOutIsWaitedFor)
{
    Inject("slow:30");
    m_scanner->Scanner().TakeHeardFrames();
    wxString value;
    EXPECT_TRUE(CSaveCfg::QueryCommand("SCNTMO", "*", value));
    EXPECT_FALSE(value.empty());
    EXPECT_EQ(1u, m_scanner->Scanner().TakeHeardFrames().size());
}

// Bytes in front of a reply (a scanner reading codes while it is configured) are set
// aside; the reply behind them is read whole.
TEST_F(SaveCfgFaultTest, BytesBeforeAReplyAreSetAsideAndTheReplyIsRead)
{
    m_link.SetKeepDeviceOutput(true);
    Inject("garbage");
    size_t count = 7;
    EXPECT_NE(nullptr, Query(count));
    EXPECT_EQ(2u, count);
    EXPECT_FALSE(m_link.TakeDeviceOutput().empty());
    ExpectHealthyAgain();
}

}  // namespace
