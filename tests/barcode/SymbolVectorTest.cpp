// Barcodes as shapes: the renderer's picture is its shapes at its own pixels, the
// font of barcode.xml sets the human-readable line, and zint's hexagons and circles
// (MaxiCode) are drawn so that a reader finds the symbol. "barcode.xml" itself: values
// inside their ranges are taken, others keep their defaults, and a file that cannot
// be used leaves every default.
#include "BarCodeSettingsXmlInfo.h"
#include "BarcodeRender.h"
#include "SymbolVector.h"

#include "DecodeSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <zint.h>

#include <cmath>
#include <tuple>

namespace {

TEST(SymbolVectorTest, TheLayoutFontSetsTheHumanReadableLine)
{
    const struct {
        int fontHeight;
        int fontWidth;
        int weight;
    } cases[] = {{60, 24, 400}, {120, 24, 700}, {40, 40, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fontHeight);
        CBarCodeSettingsXmlInfo layout;
        layout.FontHeight = c.fontHeight;
        layout.FontWidth = c.fontWidth;
        layout.fnWeight = c.weight;
        SSheetImage image;
        wxString error;
        ASSERT_TRUE(RenderLinearBarcode("@232BAD1", layout, true, image, error)) << error;
        ASSERT_TRUE(image.vector);
        const CSymbolVector& symbol = *image.vector;
        ASSERT_EQ(1u, symbol.Texts().size());
        const SSymbolText& text = symbol.Texts()[0];
        EXPECT_EQ("@232BAD1", text.text);
        // A vector unit is two of the renderer's pixels.
        EXPECT_DOUBLE_EQ(c.fontHeight / 2.0, text.style.size);
        EXPECT_EQ(c.weight, text.style.weight);
        EXPECT_NEAR(8 * c.fontWidth / 2.0, MeasureText(text.text, text.style).width, 0.5);
        // The line sits under the bars, inside the symbol.
        double barsBottom = 0;
        for (const SSymbolShape& shape : symbol.Shapes())
            barsBottom = std::max(barsBottom, shape.y + shape.height);
        EXPECT_GT(text.top, barsBottom);
        EXPECT_LE(text.top + MeasureText(text.text, text.style).height, symbol.Height());
        // The picture is the shapes at the renderer's pixels.
        EXPECT_EQ(std::lround(symbol.Width() * 2), image.width);
        EXPECT_EQ(std::lround(symbol.Height() * 2), image.height);
    }
}

TEST(SymbolVectorTest, WithoutTheReadableLineOnlyTheBarsRemainAndTheyDecode)
{
    CTempDir dir;
    SSheetImage image;
    wxString error;
    ASSERT_TRUE(RenderLinearBarcode("@BEPLVL2", CBarCodeSettingsXmlInfo(), false, image, error)) << error;
    ASSERT_TRUE(image.vector);
    EXPECT_TRUE(image.vector->Texts().empty());
    SSheetImage withText;
    ASSERT_TRUE(RenderLinearBarcode("@BEPLVL2", CBarCodeSettingsXmlInfo(), true, withText, error)) << error;
    EXPECT_LT(image.height, withText.height);
    EXPECT_EQ("@BEPLVL2", DecodeImage(image, std::string(dir.File("bars.bmp").utf8_str()), EDecoder::Zbar));
}

TEST(SymbolVectorTest, HexagonsAndCirclesOfAMaxiCodeAreDrawnAsAReaderExpectsAndNoShapesAreRefused)
{
    zint_symbol* zint = ZBarcode_Create();
    zint->symbology = BARCODE_MAXICODE;
    const std::string payload = "@232BAD1;BEPLVL2;";
    ASSERT_LT(ZBarcode_Encode_and_Buffer_Vector(zint, reinterpret_cast<const unsigned char*>(payload.data()),
                                                static_cast<int>(payload.size()), 0),
              ZINT_ERROR);
    CSymbolVector symbol;
    ASSERT_TRUE(symbol.Take(zint->vector, 2.0, nullptr));
    ZBarcode_Delete(zint);
    int hexagons = 0;
    int circles = 0;
    for (const SSymbolShape& shape : symbol.Shapes()) {
        hexagons += shape.kind == SSymbolShape::Hexagon;
        circles += shape.kind == SSymbolShape::Circle;
    }
    // The bull's eye is rings around the centre; everything else is hexagons.
    EXPECT_GT(hexagons, 100);
    EXPECT_GT(circles, 0);
    SSheetImage image;
    ASSERT_TRUE(MakeSheetImage(EncodeBmp(symbol.Rasterise(8.0)), image));
    CTempDir dir;
    EXPECT_EQ(payload, DecodeImage(image, std::string(dir.File("maxi.bmp").utf8_str()), EDecoder::ZXing));
    // No shapes are refused.
    EXPECT_FALSE(symbol.Take(nullptr, 2.0, nullptr));
    zint_vector empty{};
    EXPECT_FALSE(symbol.Take(&empty, 2.0, nullptr));
}

TEST(BarCodeSettingsTest, ReadsTheLinearLayout)
{
    const struct {
        const char* xml;  // null: no file
        bool loaded;
        int32_t height, width, fontWidth, fontHeight, weight;
        bool show;
    } cases[] = {
        {"<setting><D1><D1Height>300</D1Height><D1Width>4</D1Width><FontWidth>20</FontWidth>"
         "<FontHeight>400</FontHeight><fnWeight>700</fnWeight><show>1</show></D1></setting>",
         true, 300, 4, 20, 400, 700, true},
        {"<setting><D1><D1Height>120</D1Height><D1Width>0</D1Width><FontHeight>401</FontHeight>"
         "<fnWeight>950</fnWeight><show>2</show><Unknown>5</Unknown></D1></setting>",
         true, 120, 6, 24, 60, 400, false},
        // D1 is found after another element; text that is no number is ignored.
        {"<setting><D2/><D1><FontWidth>x</FontWidth><fnWeight>99</fnWeight><show>0</show></D1></setting>", true, 254, 6,
         24, 60, 400, false},
        {"<layout><D1><D1Height>300</D1Height></D1></layout>", false, 254, 6, 24, 60, 400, true},
        {"<setting/>", false, 254, 6, 24, 60, 400, true},
        {"<setting><D1>", false, 254, 6, 24, 60, 400, true},
        {nullptr, false, 254, 6, 24, 60, 400, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml ? c.xml : "no file");
        CTempDir dir;
        if (c.xml)
            dir.Write("barcode.xml", c.xml);
        CBarCodeSettingsXmlInfo layout;
        EXPECT_EQ(c.loaded, layout.Load(dir.File("barcode.xml")));
        EXPECT_EQ(std::make_tuple(c.height, c.width, c.fontWidth, c.fontHeight, c.weight, c.show),
                  std::make_tuple(layout.D1Height, layout.D1Width, layout.FontWidth, layout.FontHeight, layout.fnWeight,
                                  layout.Show));
    }
}

}  // namespace
