// "barcode.xml": values inside their accepted ranges are taken, others keep their
// defaults, and a file that cannot be used leaves every default.
#include "barcode/BarCodeSettingsXmlInfo.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct SLayoutCase {
    const char* xml;  // null: no file
    bool loaded;
    int32_t height, width, fontWidth, fontHeight, weight;
    bool show;
};

class BarCodeSettingsTest : public ::testing::TestWithParam<SLayoutCase> {};

TEST_P(BarCodeSettingsTest, ReadsTheLinearLayout)
{
    const SLayoutCase& c = GetParam();
    CTempDir dir;
    if (c.xml)
        dir.Write("barcode.xml", c.xml);
    CBarCodeSettingsXmlInfo layout;
    EXPECT_EQ(c.loaded, layout.Load(dir.File("barcode.xml")));
    EXPECT_EQ(std::make_tuple(c.height, c.width, c.fontWidth, c.fontHeight, c.weight, c.show),
              std::make_tuple(layout.D1Height, layout.D1Width, layout.FontWidth, layout.FontHeight, layout.fnWeight,
                              layout.Show));
}

INSTANTIATE_TEST_SUITE_P(
    Files, BarCodeSettingsTest,
    ::testing::Values(
        SLayoutCase{"<setting><D1><D1Height>300</D1Height><D1Width>4</D1Width><FontWidth>20</FontWidth>"
                    "<FontHeight>400</FontHeight><fnWeight>700</fnWeight><show>1</show></D1></setting>",
                    true, 300, 4, 20, 400, 700, true},
        SLayoutCase{"<setting><D1><D1Height>120</D1Height><D1Width>0</D1Width><FontHeight>401</FontHeight>"
                    "<fnWeight>950</fnWeight><show>2</show><Unknown>5</Unknown></D1></setting>",
                    true, 120, 6, 24, 60, 400, false},
        // D1 is found after another element; text that is no number is ignored.
        SLayoutCase{"<setting><D2/><D1><FontWidth>x</FontWidth><fnWeight>99</fnWeight><show>0</show></D1></setting>",
                    true, 254, 6, 24, 60, 400, false},
        SLayoutCase{"<layout><D1><D1Height>300</D1Height></D1></layout>", false, 254, 6, 24, 60, 400, true},
        SLayoutCase{"<setting/>", false, 254, 6, 24, 60, 400, true},
        SLayoutCase{"<setting><D1>", false, 254, 6, 24, 60, 400, true},
        SLayoutCase{nullptr, false, 254, 6, 24, 60, 400, true}));

}  // namespace
