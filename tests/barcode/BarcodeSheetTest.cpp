// Settings barcodes from typed text and from the history list: which payloads and
// captions each page makes, and every rendered image read back by an independent
// decoder to exactly its payload.
#include "AppContext.h"
#include "BarcodeRender.h"
#include "BarcodeSheetBuilder.h"

#include "DecodeSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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

}  // namespace
