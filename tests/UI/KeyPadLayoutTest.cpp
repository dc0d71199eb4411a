#include "support/TempDir.h"
#include "UI/KeyPadLayout.h"

#include <gtest/gtest.h>

namespace {

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
