// Packing requests, recognising complete replies and cutting replies into items.
#include "SaveCfg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A row table as the engine hands it to the packer.
struct SRows {
    explicit SRows(const std::vector<std::wstring>& commands, size_t width = 32) : rowWidth(width)
    {
        table.assign(commands.size() * width, L'\0');
        for (size_t i = 0; i < commands.size(); ++i)
            std::copy(commands[i].begin(), commands[i].end(), table.begin() + static_cast<std::ptrdiff_t>(i * width));
    }
    std::vector<wchar_t> table;
    size_t rowWidth;
};

std::wstring Pack(const std::vector<std::wstring>& commands)
{
    SRows rows(commands);
    std::wstring frame;
    CSaveCfg::PackCommands(rows.table.data(), commands.size(), rows.rowWidth, frame);
    return frame;
}

struct SParsed {
    std::wstring name;
    wchar_t status;
    std::wstring value;
};

std::vector<SParsed> Parse(std::wstring reply, size_t capacity = 64)
{
    std::vector<ReplyItem> items(capacity);
    size_t count = 99;
    EXPECT_TRUE(CSaveCfg::ParseReply(reply.data(), reply.size(), items.data(), capacity, count));
    std::vector<SParsed> parsed;
    for (size_t i = 0; i < count; ++i)
        parsed.push_back({items[i].command, items[i].status, items[i].value});
    return parsed;
}

bool Complete(const std::string& bytes)
{
    return CSaveCfg::IsReplyComplete(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

const std::wstring kHead = L"\x02\x01" L"0000@";

}  // namespace

struct SPackCase {
    std::vector<std::wstring> commands;
    std::wstring frame;
};
void PrintTo(const SPackCase& pack, std::ostream* out) { *out << ::testing::PrintToString(pack.frame); }

class PackCommands : public ::testing::TestWithParam<SPackCase> {};

TEST_P(PackCommands, JoinsNeighboursOfOneGroupAndKeepsTheCallersMark)
{
    EXPECT_EQ(GetParam().frame, Pack(GetParam().commands));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, PackCommands,
    ::testing::Values(SPackCase{{L"232BAD5", L"232PAR0"}, L"~\x01" L"0000@232BAD5,PAR0;\x03"},
                      // A group that comes back after another group is written in full again.
                      SPackCase{{L"232BAD5", L"BEPLVL2", L"232PAR0"}, L"~\x01" L"0000@232BAD5;BEPLVL2;232PAR0;\x03"},
                      SPackCase{{L"QRYSYS", L"QRYPDN", L"QRYPSN"}, L"~\x01" L"0000@QRYSYS,PDN,PSN;\x03"},
                      SPackCase{{L"#232BAD5", L"232PAR0"}, L"~\x01" L"0000#232BAD5,PAR0;\x03"},
                      SPackCase{{L"@*"}, L"~\x01" L"0000@*;\x03"},
                      SPackCase{{L"BEPLVL2;"}, L"~\x01" L"0000@BEPLVL2;\x03"},
                      SPackCase{{L"BEPLVL2"}, L"~\x01" L"0000@BEPLVL2;\x03"},
                      // Commands too short to have a group are never cut as if they had one.
                      SPackCase{{L"AB", L"AB"}, L"~\x01" L"0000@AB;AB;\x03"}));

TEST(IsReplyComplete, WaitsForTheTerminatorOnlyOfDataThatStartsLikeAReply)
{
    const struct {
        std::string bytes;
        bool complete;
    } cases[] = {
        {"", false},
        {std::string("\x02\x01" "0", 3), false},
        {std::string("\x02\x01" "0000@", 7), false},
        {std::string("\x02\x01" "0000@BEPLVL2\x06;", 16), false},
        {std::string("\x02\x01" "0000@BEPLVL2\x06;\x03", 17), true},
        {"x", true},
        {std::string("\x02\x02", 2), true},
        {std::string("\x02\x01" "0001", 6), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.complete, Complete(c.bytes)) << testing::PrintToString(c.bytes);
}

TEST(ParseReply, NamesLaterPiecesOfAGroupByTheGroupAndTheirItem)
{
    const auto items = Parse(kHead + L"232BAD5\x06,PAR0\x15,STP1\x05;BEPLVL2\x06;\x03");
    ASSERT_EQ(4u, items.size());
    EXPECT_EQ(L"232BAD", items[0].name);
    EXPECT_EQ(L"5", items[0].value);
    EXPECT_EQ(REPLY_ACK, items[0].status);
    EXPECT_EQ(L"232PAR", items[1].name);
    EXPECT_EQ(L"0", items[1].value);
    EXPECT_EQ(REPLY_NAK, items[1].status);
    EXPECT_EQ(L"232STP", items[2].name);
    EXPECT_EQ(REPLY_ENQ, items[2].status);
    EXPECT_EQ(L"BEPLVL", items[3].name);
    EXPECT_EQ(L"2", items[3].value);
}

TEST(ParseReply, ValuesHoldingCommasAndSemicolonsSurvive)
{
    const auto items = Parse(kHead + L"PRESTRa,b;c\x06,SUF;;\x06;\x03");
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(L"PRESTR", items[0].name);
    EXPECT_EQ(L"a,b;c", items[0].value);
    EXPECT_EQ(L"PRESUF", items[1].name);
    EXPECT_EQ(L";;", items[1].value);
}

TEST(ParseReply, APieceThatRepeatsItsGroupIsNamedByItsOwnFirstSixCharacters)
{
    const auto items = Parse(kHead + L"QRYSYSv1\x06,QRYPDNHBS-HI880\x06;\x03");
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(L"QRYPDN", items[1].name);
    EXPECT_EQ(L"HBS-HI880", items[1].value);
}

TEST(ParseReply, AnIncompleteLastTokenYieldsNoItem)
{
    const auto items = Parse(kHead + L"BEPLVL2\x06;232BAD5;\x03");
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(L"BEPLVL", items[0].name);
}

TEST(ParseReply, ShortOrEmptyRepliesGiveNoItemsAndMissingTextFails)
{
    EXPECT_TRUE(Parse(kHead + L";\x03").empty());
    EXPECT_TRUE(Parse(L"\x02\x01").empty());
    ReplyItem item{};
    size_t count = 5;
    EXPECT_FALSE(CSaveCfg::ParseReply(nullptr, 10, &item, 1, count));
    wchar_t empty[] = L"";
    EXPECT_FALSE(CSaveCfg::ParseReply(empty, 0, &item, 1, count));
    EXPECT_EQ(0u, count);
}

TEST(ParseReply, NeverWritesMoreItemsThanTheArrayHolds)
{
    std::wstring reply = kHead;
    for (int i = 0; i < 50; ++i)
        reply += L"A" + std::to_wstring(100 + i) + L"XYZ1\x06;";
    reply += L"\x03";
    // Guard items after the capacity must stay untouched.
    std::vector<ReplyItem> items(8);
    items[5].status = L'!';
    size_t count = 0;
    ASSERT_TRUE(CSaveCfg::ParseReply(reply.data(), reply.size(), items.data(), 5, count));
    EXPECT_EQ(5u, count);
    EXPECT_EQ(L'!', items[5].status);
}

TEST(ParseReply, TheGivenLengthBoundsTheText)
{
    std::wstring reply = kHead + L"BEPLVL2\x06;\x03" L"232BAD5\x06;\x03";
    std::vector<ReplyItem> items(4);
    size_t count = 0;
    ASSERT_TRUE(CSaveCfg::ParseReply(reply.data(), kHead.size() + 11, items.data(), 4, count));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(std::wstring(L"BEPLVL"), items[0].command);
}
