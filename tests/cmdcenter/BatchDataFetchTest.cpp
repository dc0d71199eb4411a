// Fetching stored batch data: both requests must be acknowledged, data replies are
// cut at CR LF into entries, and "batch.txt" only ever grows.
#include "batchdata/BatchDataFetch.h"
#include "ScriptedTerminalLink.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const char kAck[] = "\x02\x01" "0000@WLSBAT2\x06;\x03";
const char kSbtAck[] = "\x02\x01" "0000@WLSSBT\x06;\x03";
const char kSbtNak[] = "\x02\x01" "0000@WLSSBT\x15;\x03";
// The scripted scanner has sent everything at once: a short quiet time ends its data.
const int kQuietMs = 20;

class BatchDataFetchTest : public ::testing::Test {
protected:
    bool Fetch(std::vector<wxString>& entries) { return CBatchDataFetch(m_link, 0, kQuietMs).Fetch(entries); }

    CScriptedTerminalLink m_link;
    CTempDir m_dir;
};

TEST_F(BatchDataFetchTest, ARefusedUploadFetchesNothingAndLeavesTheFileAlone)
{
    m_dir.Write("batch.txt", "earlier\r\n");
    for (const char* reply : {kAck, kSbtNak, "A\r\nB\r\n"})
        m_link.AddReply(reply);
    std::vector<wxString> entries{"stale"};
    EXPECT_FALSE(Fetch(entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ("earlier\r\n", m_dir.Read("batch.txt"));
    EXPECT_EQ(2u, m_link.Written().size());
    EXPECT_EQ("~\x01" "0000@WLSBAT2;\x03", m_link.Written()[0]);
}

// The scanner's blocks are joined before they are cut, so that a pause between two
// blocks splits no code wherever it falls; the entries give back every byte but the
// line break that ends the data, a code not finished included.
TEST_F(BatchDataFetchTest, BlocksAreJoinedBeforeTheyAreCutWhereverTheScannerPaused)
{
    const struct {
        std::string data;
        std::string file;
    } cases[] = {
        {"A\r\nB\r\nC\r\nD\r\n", "earlier|A\r\nB\r\nC\r\nD"},
        {"A\r\nBC\r\n\r\nE", "earlier|A\r\nBC\r\n\r\nE"},
        {"one code without a break", "earlier|one code without a break"},
    };
    for (const auto& row : cases) {
        for (size_t cut = 1; cut < row.data.size(); ++cut) {
            CScriptedTerminalLink link;
            for (const std::string& reply : {std::string(kAck), std::string(kSbtAck), row.data.substr(0, cut), row.data.substr(cut)})
                link.AddReply(reply);
            m_dir.Write("batch.txt", "earlier|");
            std::vector<wxString> entries;
            ASSERT_TRUE(CBatchDataFetch(link, 0, kQuietMs).Fetch(entries));
            ASSERT_TRUE(CBatchDataFetch::AppendEntries(m_dir.File("batch.txt"), entries));
            EXPECT_EQ(row.file, m_dir.Read("batch.txt")) << row.data << " cut at " << cut;
        }
    }
}

// A read the scanner makes during the fetch comes packed; whole or cut in two by the
// reads, it goes to the terminal, never into the stored data.
TEST_F(BatchDataFetchTest, APackedReadCutBetweenTwoRepliesStaysOutOfTheStoredData)
{
    const std::string frame("\x02\x00\x00\x01;A\x84", 7);
    for (size_t cut : {size_t(0), size_t(1), size_t(3), size_t(6)}) {
        CScriptedTerminalLink link;
        for (const std::string& reply : {std::string(kAck), std::string(kSbtAck), "A\r\nB\r\n" + frame.substr(0, cut),
                                         frame.substr(cut) + "C\r\nD\r\n" + frame})
            link.AddReply(reply);
        std::vector<wxString> entries;
        ASSERT_TRUE(CBatchDataFetch(link, 0, kQuietMs).Fetch(entries));
        wxString stored;
        for (const wxString& entry : entries)
            stored += entry;
        EXPECT_EQ("A\r\nB\r\nC\r\nD", stored) << cut;
        EXPECT_EQ(frame + frame, link.SetAsideBytes()) << cut;
    }
}

}  // namespace
