// Packing requests, recognising complete replies and cutting replies into items.
#include "config/SaveCfg.h"

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

const std::wstring kWideReplyHead = L"\x02\x01" L"0000@";

}  // namespace

TEST(PackCommands, JoinsNeighboursOfOneGroupAndKeepsTheCallersMark)
{
    const struct {
        std::vector<std::wstring> commands;
        std::wstring frame;
    } cases[] = {
        {{L"232BAD5", L"232PAR0"}, L"~\x01" L"0000@232BAD5,PAR0;\x03"},
        // A group that comes back after another group is written in full again.
        {{L"232BAD5", L"BEPLVL2", L"232PAR0"}, L"~\x01" L"0000@232BAD5;BEPLVL2;232PAR0;\x03"},
        {{L"QRYSYS", L"QRYPDN", L"QRYPSN"}, L"~\x01" L"0000@QRYSYS,PDN,PSN;\x03"},
        {{L"#232BAD5", L"232PAR0"}, L"~\x01" L"0000#232BAD5,PAR0;\x03"},
        {{L"@*"}, L"~\x01" L"0000@*;\x03"},
        {{L"BEPLVL2;"}, L"~\x01" L"0000@BEPLVL2;\x03"},
        {{L"BEPLVL2"}, L"~\x01" L"0000@BEPLVL2;\x03"},
        // Commands too short to have a group are never cut as if they had one.
        {{L"AB", L"AB"}, L"~\x01" L"0000@AB;AB;\x03"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.frame, Pack(c.commands));
}

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

// Items as "NAME=value" with the status character after the value.
static std::vector<std::wstring> Items(const std::wstring& reply)
{
    std::vector<std::wstring> shown;
    for (const SParsed& item : Parse(reply))
        shown.push_back(item.name + L"=" + item.value + item.status);
    return shown;
}

TEST(ParseReply, CutsRepliesIntoNamedItems)
{
    const struct {
        const char* rule;
        std::wstring reply;
        std::vector<std::wstring> items;
    } cases[] = {
        {"later pieces of a group are named by the group and their item",
         kWideReplyHead + L"232BAD5\x06,PAR0\x15,STP1\x05;BEPLVL2\x06;\x03",
         {L"232BAD=5\x06", L"232PAR=0\x15", L"232STP=1\x05", L"BEPLVL=2\x06"}},
        {"values holding commas and semicolons survive", kWideReplyHead + L"PRESTRa,b;c\x06,SUF;;\x06;\x03",
         {L"PRESTR=a,b;c\x06", L"PRESUF=;;\x06"}},
        {"a piece that repeats its group is named by its own first six characters",
         kWideReplyHead + L"QRYSYSv1\x06,QRYPDNHBS-HI880\x06;\x03", {L"QRYSYS=v1\x06", L"QRYPDN=HBS-HI880\x06"}},
        {"an incomplete last token yields no item", kWideReplyHead + L"BEPLVL2\x06;232BAD5;\x03", {L"BEPLVL=2\x06"}},
        {"an empty reply", kWideReplyHead + L";\x03", {}},
        {"a short reply", L"\x02\x01", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.items, Items(c.reply)) << c.rule;
}

TEST(ParseReply, MissingTextFailsAndTheItemsNeverOverrunTheArrayNorTheGivenLength)
{
    std::wstring reply = kWideReplyHead;
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
    ReplyItem item{};
    count = 5;
    EXPECT_FALSE(CSaveCfg::ParseReply(nullptr, 10, &item, 1, count));
    wchar_t empty[] = L"";
    EXPECT_FALSE(CSaveCfg::ParseReply(empty, 0, &item, 1, count));
    EXPECT_EQ(0u, count);

    reply = kWideReplyHead + L"BEPLVL2\x06;\x03" L"232BAD5\x06;\x03";
    ASSERT_TRUE(CSaveCfg::ParseReply(reply.data(), kWideReplyHead.size() + 11, items.data(), 4, count));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(std::wstring(L"BEPLVL"), items[0].command);
}
