// Settings barcodes from typed text and from the history list: which payloads and
// captions each page makes, and every rendered image read back by an independent
// decoder to exactly its payload.
// Barcodes as shapes: the renderer's picture is its shapes at its own pixels, the
// font of barcode.xml sets the human-readable line, and zint's hexagons and circles
// (MaxiCode) are drawn so that a reader finds the symbol. "barcode.xml" itself: values
// inside their ranges are taken, others keep their defaults, and a file that cannot
// be used leaves every default.
#include "DecodeSupport.h"
#include "app/AppContext.h"
#include "barcode/BarcodeRender.h"
#include "barcode/BarCodeSettingsXmlInfo.h"
#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/SymbolVector.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zint.h>

#include <cmath>
#include <tuple>

namespace {

std::vector<wxString> PayloadsOf(const CBarcodeSheet& sheet)
{
    std::vector<wxString> payloads;
    for (const SSheetImage& image : sheet.GetImages())
        payloads.push_back(image.payload);
    return payloads;
}

// Every image decodes to its payload.
void ExpectDecodable(const CBarcodeSheet& sheet, const CTempDir& dir, EDecoder decoder)
{
    for (size_t i = 0; i < sheet.GetImages().size(); ++i) {
        const SSheetImage& image = sheet.GetImages()[i];
        const std::string path = std::string(dir.File(wxString::Format("code%zu.bmp", i)).utf8_str());
        EXPECT_EQ(std::string(image.payload.utf8_str()), DecodeImage(image, path, decoder)) << i;
    }
}

wxString Caption(const wxString& command, const wxString& value)
{
    return command == "232BAD" ? "Baud rate" + value : wxString();
}

TEST(LinearFromTextTest, FramesTheEntriesWithTheSetupCodesAndEveryCodeDecodes)
{
    const struct {
        const char* text;
        const char* setup;
        std::vector<wxString> payloads;
        std::vector<wxString> captions;
    } cases[] = {
        {"232BAD1;ABCDEF", "SETUPE", {"@SETUPE1", "@232BAD1", "@ABCDEF", "@SETUPE0"},
         {"SETUPE1", "Baud rate1", "@ABCDEF", "SETUPE0"}},
        // A part shorter than a command name is no barcode and no error.
        {"232BAD1;AB;", "SETUPN", {"@SETUPN1", "@232BAD1", "@SETUPN0"}, {"SETUPN1", "Baud rate1", "SETUPN0"}},
        {"#232BAD1", "", {"#232BAD1"}, {"Baud rate1"}},
        {";232BAD1;X", "", {"@;232BAD1;X"}, {"@;232BAD1;X"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CTempDir dir;
        CBarcodeSheet sheet;
        CBarcodeSheetBuilder builder(sheet, c.setup, Caption);
        ASSERT_EQ(EBuildResult::Built, builder.BuildLinearFromText(c.text, SLinearOptions()));
        EXPECT_EQ(c.payloads, PayloadsOf(sheet));
        EXPECT_EQ(c.captions, sheet.GetCaptions());
        // The view draws a quarter of the 600-dpi image.
        EXPECT_EQ(sheet.GetImages().back().width / 4, sheet.thumbWidth);
        ExpectDecodable(sheet, dir, EDecoder::Zbar);
    }
}

// A sheet whose setup command is "SETUPE", and a folder for its pictures.
class BarcodeSheetTest : public ::testing::Test {
protected:
    CTempDir m_dir;
    CBarcodeSheet m_sheet;
    CBarcodeSheetBuilder m_builder{m_sheet, "SETUPE"};
};

TEST_F(BarcodeSheetTest, RefusedEmptyOrUnwritableTextLeavesEveryPagesSheetAsItWas)
{
    ASSERT_EQ(EBuildResult::Built, m_builder.BuildLinearFromText("BEPLVL2", SLinearOptions()));
    const std::vector<wxString> before = PayloadsOf(m_sheet);
    for (const char* text : {"232BAD1;FOBSET1", ""}) {
        const EBuildResult expected = *text ? EBuildResult::Refused : EBuildResult::Nothing;
        EXPECT_EQ(expected, m_builder.BuildLinearFromText(text, SLinearOptions())) << text;
        EXPECT_EQ(expected, m_builder.BuildBatchFromText(text, SYMBOLOGY_QR, false)) << text;
        EXPECT_EQ(expected, m_builder.BuildAllInOneFromText(text, m_dir.File("output.bmp"))) << text;
        EXPECT_EQ(before, PayloadsOf(m_sheet)) << text;
    }
    // Only the exact upper-case name is refused.
    EXPECT_EQ(EBuildResult::Built, m_builder.BuildLinearFromText("fobset1", SLinearOptions()));
    // An all-in-one symbol that cannot be written fails the build without ending the program.
    EXPECT_EQ(EBuildResult::Failed, m_builder.BuildAllInOneFromText("232BAD1", "/no/such/folder/output.bmp"));
    EXPECT_FALSE(m_builder.GetLastError().empty());
}

std::vector<SHistoryEntry> HistoryWithDataFormats()
{
    return {
        {"BEPLVL", "2", "", "Beeper volume", "High"},
        // Only the first data-format entry becomes digit codes; its second token has
        // exactly 25 characters and is dropped.
        {"DFMSET", "DataFormat1 Type0 Len0000:0|9a\r\nDataFormat1 Type0 Len:0|9", "", "Data format", ""},
        {"SCNMOD", "0", "ID_NO_SUCH_TEXT", "Scan mode", "Level"},
        {"dfmadd", "1", "", "Data format add", "1"},
    };
}

TEST_F(BarcodeSheetTest, HistoryOnTheLinearPageEndsWithTheDataFormatDigitsAndEveryCodeDecodes)
{
    m_builder.BuildLinearFromHistory(HistoryWithDataFormats(), SLinearOptions());
    EXPECT_EQ((std::vector<wxString>{"@SETUPE1", "@BEPLVL2", "@SCNMOD0", "@dfmadd1", "@DFMSET", "@DIGIT0", "@DIGIVB",
                                     "@DIGIT9", "@DIGITA", "@DIGSAV", "@SETUPE0"}),
              PayloadsOf(m_sheet));
    EXPECT_EQ("Beeper volumeHigh", m_sheet.GetCaptions()[1]);
    EXPECT_EQ("Scan modeLevel", m_sheet.GetCaptions()[2]);
    EXPECT_EQ("@DIGIVB", m_sheet.GetCaptions()[6]);
    ExpectDecodable(m_sheet, m_dir, EDecoder::Zbar);
}

TEST_F(BarcodeSheetTest, OneTwoDimensionalCodeHoldsTheTextAndDecodesToIt)
{
    const struct {
        int symbology;  // -1: the all-in-one page
        EDecoder decoder;
        const char* text;
        const char* payload;
    } cases[] = {{SYMBOLOGY_PDF417, EDecoder::ZXing, "#232BAD1", "#232BAD1;"},
                 {SYMBOLOGY_DATAMATRIX, EDecoder::ZXing, "232BAD1;BEPLVL2", "@232BAD1;BEPLVL2;"},
                 {SYMBOLOGY_QR, EDecoder::Zbar, "@232BAD1;", "@232BAD1;"},
                 {-1, EDecoder::ZXing, "#232BAD1", "@#232BAD1;"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbology);
        const EBuildResult result = c.symbology < 0 ? m_builder.BuildAllInOneFromText(c.text, m_dir.File("output.bmp"))
                                                    : m_builder.BuildBatchFromText(c.text, c.symbology, false);
        ASSERT_EQ(EBuildResult::Built, result) << m_builder.GetLastError();
        EXPECT_EQ(std::vector<wxString>{c.payload}, PayloadsOf(m_sheet));
        EXPECT_EQ(std::vector<wxString>{c.payload}, m_sheet.GetCaptions());
        ExpectDecodable(m_sheet, m_dir, c.decoder);
    }
}

TEST_F(BarcodeSheetTest, HistoryOnTheBatchPagesIsOnePayloadWithTheDataFormatRulesLast)
{
    const wxString expected = "@BEPLVL2;SCNMOD0;dfmadd1;DFMSET0|9a;";
    m_builder.BuildBatchFromHistory(HistoryWithDataFormats(), SYMBOLOGY_DATAMATRIX, true);
    EXPECT_EQ(std::vector<wxString>{expected}, PayloadsOf(m_sheet));
    m_builder.BuildAllInOneFromHistory(HistoryWithDataFormats(), m_dir.File("output.bmp"));
    EXPECT_EQ(std::vector<wxString>{expected}, PayloadsOf(m_sheet));
    ExpectDecodable(m_sheet, m_dir, EDecoder::ZXing);
    m_builder.BuildAllInOneFromHistory({}, m_dir.File("output.bmp"));
    EXPECT_TRUE(m_sheet.GetImages().empty());
}

// A full clone of a large model (2.6 kB of settings) fits no single symbol: the sheet
// stays as it was and the build says into how many symbols it would go; asked to,
// it makes them, cut between settings, together holding every setting in order.
TEST_F(BarcodeSheetTest, SettingsTooLongForOneSymbolAreRefusedOrSplitBetweenSettings)
{
    wxString text;
    for (int i = 0; i < 330; ++i)
        text += wxString::Format("BEP%03d%d;", i, i % 10);
    for (int symbology : std::vector<int>{SYMBOLOGY_PDF417, SYMBOLOGY_DATAMATRIX, SYMBOLOGY_QR, -1}) {
        const auto build = [&](bool split) {
            return symbology < 0 ? m_builder.BuildAllInOneFromText(text, m_dir.File("output.bmp"), split)
                                 : m_builder.BuildBatchFromText(text, symbology, false, split);
        };
        ASSERT_EQ(EBuildResult::Built, m_builder.BuildBatchFromText("BEPLVL2", SYMBOLOGY_QR, false));
        ASSERT_EQ(EBuildResult::TooLong, build(false)) << symbology;
        EXPECT_EQ(std::vector<wxString>{"@BEPLVL2;"}, PayloadsOf(m_sheet)) << "the sheet is kept";
        EXPECT_EQ(static_cast<size_t>(text.length()) + 1, m_builder.GetPayloadBytes());
        const size_t count = m_builder.GetSplitCount();
        EXPECT_GE(count, 2u);
        EXPECT_LE(count, 4u);

        ASSERT_EQ(EBuildResult::Built, build(true)) << symbology;
        ASSERT_EQ(count, m_sheet.GetImages().size());
        wxString joined;
        for (const wxString& payload : PayloadsOf(m_sheet)) {
            EXPECT_TRUE(payload.StartsWith("@") && payload.EndsWith(";")) << payload;
            joined += payload.Mid(1);
        }
        EXPECT_EQ(text, joined) << symbology;
    }
}

// Every frame of the batch sheet is a barcode a scanner reads: the head is the model's
// own enter-setup code, drawn at the frames' size.
TEST_F(BarcodeSheetTest, TheBatchSheetsHeadFrameIsTheModelsEnterSetupBarcode)
{
    CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR);
    for (const char* setup : {"SETUPE", "SETUPN"}) {
        ASSERT_TRUE(m_sheet.LoadFrameImages(setup)) << setup;
        const SSheetImage& head = m_sheet.GetFrameImage(CBarcodeSheet::FRAME_HEAD);
        EXPECT_EQ(320, head.width);
        EXPECT_EQ(86, head.height);
        const std::string path = std::string(m_dir.File("head.bmp").utf8_str());
        EXPECT_EQ(std::string("@") + setup + "1", DecodeImage(head, path, EDecoder::Zbar)) << setup;
    }
}

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
