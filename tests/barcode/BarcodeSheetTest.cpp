// Settings barcodes from typed text and from the history list: which payloads and
// captions each page makes, and every rendered image read back by an independent
// decoder to exactly its payload.
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

struct SLinearCase {
    const char* text;
    const char* setup;
    std::vector<wxString> payloads;
    std::vector<wxString> captions;
};

class LinearFromTextTest : public ::testing::TestWithParam<SLinearCase> {};

TEST_P(LinearFromTextTest, FramesTheEntriesWithTheSetupCodesAndEveryCodeDecodes)
{
    const SLinearCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(
    Texts, LinearFromTextTest,
    ::testing::Values(
        SLinearCase{"232BAD1;ABCDEF", "SETUPE", {"@SETUPE1", "@232BAD1", "@ABCDEF", "@SETUPE0"},
                    {"SETUPE1", "Baud rate1", "@ABCDEF", "SETUPE0"}},
        // A part shorter than a command name is no barcode and no error.
        SLinearCase{"232BAD1;AB;", "SETUPN", {"@SETUPN1", "@232BAD1", "@SETUPN0"}, {"SETUPN1", "Baud rate1", "SETUPN0"}},
        SLinearCase{"#232BAD1", "", {"#232BAD1"}, {"Baud rate1"}},
        SLinearCase{";232BAD1;X", "", {"@;232BAD1;X"}, {"@;232BAD1;X"}}));

TEST(BarcodeSheetTest, RefusedOrEmptyTextLeavesEveryPagesSheetAsItWas)
{
    CTempDir dir;
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    ASSERT_EQ(EBuildResult::Built, builder.BuildLinearFromText("BEPLVL2", SLinearOptions()));
    const std::vector<wxString> before = PayloadsOf(sheet);
    for (const char* text : {"232BAD1;FOBSET1", ""}) {
        const EBuildResult expected = *text ? EBuildResult::Refused : EBuildResult::Nothing;
        EXPECT_EQ(expected, builder.BuildLinearFromText(text, SLinearOptions())) << text;
        EXPECT_EQ(expected, builder.BuildBatchFromText(text, SYMBOLOGY_QR, false)) << text;
        EXPECT_EQ(expected, builder.BuildAllInOneFromText(text, dir.File("output.bmp"))) << text;
        EXPECT_EQ(before, PayloadsOf(sheet)) << text;
    }
    // Only the exact upper-case name is refused.
    EXPECT_EQ(EBuildResult::Built, builder.BuildLinearFromText("fobset1", SLinearOptions()));
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

TEST(BarcodeSheetTest, HistoryOnTheLinearPageEndsWithTheDataFormatDigitsAndEveryCodeDecodes)
{
    CTempDir dir;
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    builder.BuildLinearFromHistory(HistoryWithDataFormats(), SLinearOptions());
    EXPECT_EQ((std::vector<wxString>{"@SETUPE1", "@BEPLVL2", "@SCNMOD0", "@dfmadd1", "@DFMSET", "@DIGIT0", "@DIGIVB",
                                     "@DIGIT9", "@DIGITA", "@DIGSAV", "@SETUPE0"}),
              PayloadsOf(sheet));
    EXPECT_EQ("Beeper volumeHigh", sheet.GetCaptions()[1]);
    EXPECT_EQ("Scan modeLevel", sheet.GetCaptions()[2]);
    EXPECT_EQ("@DIGIVB", sheet.GetCaptions()[6]);
    ExpectDecodable(sheet, dir, EDecoder::Zbar);
}

struct STwoDimensionalCase {
    int symbology;  // -1: the all-in-one page
    EDecoder decoder;
    const char* text;
    const char* payload;
};

class TwoDimensionalTest : public ::testing::TestWithParam<STwoDimensionalCase> {};

TEST_P(TwoDimensionalTest, OneCodeHoldsTheTextAndDecodesToIt)
{
    const STwoDimensionalCase& c = GetParam();
    CTempDir dir;
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    const EBuildResult result = c.symbology < 0 ? builder.BuildAllInOneFromText(c.text, dir.File("output.bmp"))
                                                : builder.BuildBatchFromText(c.text, c.symbology, false);
    ASSERT_EQ(EBuildResult::Built, result) << builder.GetLastError();
    EXPECT_EQ(std::vector<wxString>{c.payload}, PayloadsOf(sheet));
    EXPECT_EQ(std::vector<wxString>{c.payload}, sheet.GetCaptions());
    ExpectDecodable(sheet, dir, c.decoder);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, TwoDimensionalTest,
    ::testing::Values(STwoDimensionalCase{SYMBOLOGY_PDF417, EDecoder::ZXing, "#232BAD1", "#232BAD1;"},
                      STwoDimensionalCase{SYMBOLOGY_DATAMATRIX, EDecoder::ZXing, "232BAD1;BEPLVL2",
                                          "@232BAD1;BEPLVL2;"},
                      STwoDimensionalCase{SYMBOLOGY_QR, EDecoder::Zbar, "@232BAD1;", "@232BAD1;"},
                      STwoDimensionalCase{-1, EDecoder::ZXing, "#232BAD1", "@#232BAD1;"}));

TEST(BarcodeSheetTest, HistoryOnTheBatchPagesIsOnePayloadWithTheDataFormatRulesLast)
{
    CTempDir dir;
    const wxString expected = "@BEPLVL2;SCNMOD0;dfmadd1;DFMSET0|9a;";
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    builder.BuildBatchFromHistory(HistoryWithDataFormats(), SYMBOLOGY_DATAMATRIX, true);
    EXPECT_EQ(std::vector<wxString>{expected}, PayloadsOf(sheet));
    builder.BuildAllInOneFromHistory(HistoryWithDataFormats(), dir.File("output.bmp"));
    EXPECT_EQ(std::vector<wxString>{expected}, PayloadsOf(sheet));
    ExpectDecodable(sheet, dir, EDecoder::ZXing);
    builder.BuildAllInOneFromHistory({}, dir.File("output.bmp"));
    EXPECT_TRUE(sheet.GetImages().empty());
}

TEST(BarcodeSheetTest, AnAllInOneSymbolThatCannotBeWrittenFailsTheBuildWithoutEndingTheProgram)
{
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    EXPECT_EQ(EBuildResult::Failed, builder.BuildAllInOneFromText("232BAD1", "/no/such/folder/output.bmp"));
    EXPECT_FALSE(builder.GetLastError().empty());
}

}  // namespace
