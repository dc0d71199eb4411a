#include "support/TempDir.h"
#include "UI/KeyPadLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct SShippedLayout {
    const char* file;
    size_t capacity;
};

class ShippedKeyPadTest : public testing::TestWithParam<SShippedLayout> {};

TEST_P(ShippedKeyPadTest, FileFillsItsLayoutToCapacityWithDistinctKeys)
{
    std::vector<SKeyRecord> keys;
    size_t count = GetParam().capacity;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(CKeyPadLayout::LoadLayout(wxString(VOSTREL_DATA_DIR "/Config/keyboard/") + GetParam().file, keys, count,
                                          30, width, height));
    EXPECT_EQ(GetParam().capacity, count);
    std::set<uint32_t> codes;
    for (size_t i = 0; i < count; ++i) {
        codes.insert(keys[i].keyValue);
        EXPECT_GE(keys[i].top, 30);
        EXPECT_GT(keys[i].right, keys[i].left) << keys[i].bottomText;
        EXPECT_FALSE(keys[i].bottomText.empty());
    }
    EXPECT_EQ(count, codes.size());
    EXPECT_GT(width, 400);
    EXPECT_GT(height, 150);
}

INSTANTIATE_TEST_SUITE_P(UsAndEuropean, ShippedKeyPadTest,
                         testing::Values(SShippedLayout{"keypad_us.xml", CKeyPadLayout::kUsCapacity},
                                         SShippedLayout{"keypad_European.xml", CKeyPadLayout::kEuropeanCapacity}));

TEST(KeyPadLayoutTest, ReadingStopsAtCapacityAndMissingAttributesReadAsZero)
{
    CTempDir dir;
    std::string xml = "<KeyPadData><Other/><Data left=\"5\" top=\"1\" keyValue=\"1e\" bottomtext=\"1\"/>";
    for (int i = 0; i < 109; ++i)
        xml += "<Data left=\"" + std::to_string(i * 10) + "\" top=\"0\" width=\"8\" height=\"8\" keyValue=\"4\"/>";
    dir.Write("pad.xml", xml + "</KeyPadData>");
    std::vector<SKeyRecord> keys;
    size_t count = CKeyPadLayout::kUsCapacity;
    int32_t width = 0, height = 0;
    ASSERT_TRUE(CKeyPadLayout::LoadLayout(dir.File("pad.xml"), keys, count, 10, width, height));
    EXPECT_EQ(104u, count);
    EXPECT_EQ("1E", keys[0].label);
    EXPECT_EQ(5, keys[0].right);  // no width: the right edge is the left edge
    EXPECT_EQ(11, keys[0].top);
    EXPECT_EQ(1020 + 8 + 2, width);  // the last key read: left 1020, width 8
    EXPECT_EQ(20, height);

    // Fewer keys than the capacity: the count says how many.
    dir.Write("few.xml", "<KeyPadData><Data keyValue=\"28\"/></KeyPadData>");
    count = CKeyPadLayout::kEuropeanCapacity;
    ASSERT_TRUE(CKeyPadLayout::LoadLayout(dir.File("few.xml"), keys, count, 0, width, height));
    EXPECT_EQ(1u, count);

    // A broken or missing file changes nothing.
    dir.Write("bad.xml", "<Keys/>");
    for (const char* name : {"bad.xml", "none.xml"}) {
        count = CKeyPadLayout::kUsCapacity;
        EXPECT_FALSE(CKeyPadLayout::LoadLayout(dir.File(name), keys, count, 0, width, height)) << name;
        EXPECT_EQ(104u, count);
    }
}

}  // namespace
