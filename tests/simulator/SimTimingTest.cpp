// The timing profile: what it does to the shape of replies and uploads. How long
// things take on a line is for the benchmarks; these check what goes out when.
#include "simulator/SimTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Joined(const std::vector<SSimReply>& pieces)
{
    std::string all;
    for (const SSimReply& piece : pieces)
        all += piece.bytes;
    return all;
}

bool Within(int value, const SSimSpan& span)
{
    return value >= span.minMs && value <= span.maxMs;
}

TEST(SimTimingTest, SetProfile_KnowsNoneAndRealOnly)
{
    SSimTiming timing;
    EXPECT_TRUE(timing.IsNone());
    EXPECT_TRUE(timing.SetProfile("real"));
    EXPECT_FALSE(timing.IsNone());
    EXPECT_EQ(4000, timing.restartMs);
    EXPECT_FALSE(timing.SetProfile("fast"));
    EXPECT_FALSE(timing.IsNone());  // a refused name changes nothing
    timing.newPathOnRestart = true;
    EXPECT_TRUE(timing.SetProfile("none"));
    EXPECT_TRUE(timing.IsNone());
    EXPECT_TRUE(timing.newPathOnRestart);  // the path option is not part of a profile
}

TEST(SimTimingTest, Shape_DelaysEveryReplyAndCutsLongOnesIntoBursts)
{
    const SSimTiming real = SSimTiming::Real();
    struct SCase {
        const char* name;
        size_t length;
        bool disconnect;
        size_t pieces;
    };
    const SCase cases[] = {
        {"short reply, one piece", 40, false, 1},
        {"exactly one burst", 1024, false, 1},
        {"one byte over a burst", 1025, false, 2},
        {"three bursts and a bit", 3 * 1024 + 7, false, 4},
        {"a hang-up stays whole", 5000, true, 1},
    };
    CSimTimer timer(7);
    timer.Set(real);
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        SSimReply reply;
        for (size_t i = 0; i < c.length; ++i)
            reply.bytes += static_cast<char>('A' + i % 26);
        reply.delayMs = 5;
        reply.disconnect = c.disconnect;
        const std::vector<SSimReply> pieces = timer.Shape(reply, real.imageQuery);
        ASSERT_EQ(c.pieces, pieces.size());
        EXPECT_EQ(reply.bytes, Joined(pieces));
        // The fault's own delay, the latency and the extra thinking come before the first byte.
        const SSimSpan first{5 + real.replyLatency.minMs + real.imageQuery.minMs,
                             5 + real.replyLatency.maxMs + real.imageQuery.maxMs};
        EXPECT_TRUE(Within(pieces[0].delayMs, first)) << pieces[0].delayMs;
        for (size_t i = 1; i < pieces.size(); ++i)
            EXPECT_TRUE(Within(pieces[i].delayMs, real.burstPause)) << pieces[i].delayMs;
        EXPECT_EQ(c.disconnect, pieces.back().disconnect);
    }
}

TEST(SimTimingTest, Upload_StartsLateAndCutsCodesOnlyUnderTheRealProfile)
{
    std::vector<std::string> blocks;
    std::string all;
    for (int block = 0; block < 3; ++block) {
        std::string text;
        for (int code = 0; code < 16; ++code)
            text += "CODE-" + std::to_string(block * 16 + code) + "\r\n";
        blocks.push_back(text);
        all += text;
    }
    CSimTimer timer(11);
    const std::vector<SSimReply> plain = timer.Upload(blocks, 50);
    ASSERT_EQ(3u, plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(blocks[i], plain[i].bytes);
        EXPECT_EQ(50, plain[i].delayMs);
    }

    const SSimTiming real = SSimTiming::Real();
    timer.Set(real);
    const std::vector<SSimReply> paced = timer.Upload(blocks, 50);
    ASSERT_EQ((all.size() + real.batchBlockBytes - 1) / real.batchBlockBytes, paced.size());
    EXPECT_EQ(all, Joined(paced));
    EXPECT_TRUE(Within(paced[0].delayMs, real.batchStart)) << paced[0].delayMs;
    bool cutInsideACode = false;
    for (size_t i = 1; i < paced.size(); ++i) {
        EXPECT_TRUE(Within(paced[i].delayMs, real.batchBlockPause)) << paced[i].delayMs;
        cutInsideACode = cutInsideACode || paced[i - 1].bytes.back() != '\n';
    }
    EXPECT_TRUE(cutInsideACode);
    EXPECT_TRUE(timer.Upload({}, 50).empty());
}

}  // namespace
