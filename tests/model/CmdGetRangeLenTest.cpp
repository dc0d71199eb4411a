// Length rules: the model file's number offline, one cached query per command online.

#include "support/CoreTest.h"
#include "support/LinkFixture.h"
#include "support/ScriptedScanner.h"

#include <gtest/gtest.h>

namespace {

class CmdGetRangeLenTest : public CCoreTest {
protected:

    CCmdGetRangeLenMnt& Lengths() { return CCmdGetRangeLenMnt::GetInstance(); }
    CScriptedScanner m_scanner;
};

TEST_F(CmdGetRangeLenTest, OfflineTheFieldIsTheLengthOnlineEachQueryGoesOutOnceUnlessItFailed)
{
    EXPECT_EQ(16, Lengths().GetLength("16"));
    EXPECT_EQ(0, Lengths().GetLength(""));
    EXPECT_EQ(wxString("PRELEN"), Lengths().GetLengthText("PRELEN").value());
    EXPECT_EQ(0, Lengths().GetLength("PRELEN"));
    EXPECT_TRUE(m_scanner.Requests().empty());

    // Online each query goes out once, and a failed one is asked again.
    GoOnline(m_scanner.Path());
    m_scanner.Script({ReplyFrame("PRELEN10\x06"), "", "", ReplyFrame("SUFLEN8\x06")});
    EXPECT_EQ(10, Lengths().GetLength("PRELEN"));
    EXPECT_EQ(10, Lengths().GetLength("PRELEN"));
    EXPECT_EQ(1u, m_scanner.Requests().size());

    EXPECT_EQ(0, Lengths().GetLength("SUFLEN"));  // silent twice: the query and its resend
    EXPECT_EQ(1u, Lengths().GetCachedCount());
    EXPECT_EQ(8, Lengths().GetLength("SUFLEN"));
    const std::vector<std::string> requests = m_scanner.Requests();
    ASSERT_EQ(4u, requests.size());
    EXPECT_EQ(std::string("~\x01" "0000@PRELEN;\x03"), requests[0]);
    EXPECT_EQ(requests[1], requests[3]);
}

}  // namespace
