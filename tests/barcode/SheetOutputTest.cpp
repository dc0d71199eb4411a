// Sheet output: where the page layout puts lines and barcodes, and the PDF, PNG and
// Word files as other programs read them: no raster image in the PDF, its text in
// any script, and every barcode decoded back to its payload at printer resolutions.
// BMP files in and out: the renderer's one-bit files read back pixel for pixel, the
// depths zint and others write, and broken files refused without reading past them.
#include "barcode/BarcodeRender.h"
#include "barcode/BarcodeSheetBuilder.h"
#include "barcode/BmpImage.h"
#include "barcode/SheetOutput.h"
#include "barcode/SheetPages.h"

#include "DecodeSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <cstdlib>

namespace {

// White where x + 2y is a multiple of three, or everywhere.
SMonoImage Checkerboard(int width, int height, bool blank = false)
{
    SMonoImage image;
    image.width = width;
    image.height = height;
    image.bits.assign(image.RowBytes() * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetWhite(x, y, blank || (x + 2 * y) % 3 == 0);
    return image;
}

SSheetImage BlankImage(int width, int height)
{
    SSheetImage image;
    MakeSheetImage(EncodeBmp(Checkerboard(width, height, true)), image);
    return image;
}

std::vector<SPlacedItem> ImagesOf(const std::vector<SPlacedItem>& page)
{
    std::vector<SPlacedItem> images;
    std::copy_if(page.begin(), page.end(), std::back_inserter(images), [](const SPlacedItem& i) { return !i.isText; });
    return images;
}

TEST(SheetOutputTest, HeaderLinesComeFirstAndABarcodeWithoutRoomStartsTheNextPage)
{
    CBarcodeSheet sheet;
    sheet.thumbWidth = 200;
    sheet.thumbHeight = 300;
    sheet.interval = 30;
    for (int i = 0; i < 3; ++i)
        sheet.AddImage(BlankImage(800, 1200));
    const wxDateTime when(7, wxDateTime::Dec, 2026, 9, 5, 3);
    const std::vector<wxString> header = HeaderLines({"Lobby", "five changes", "HBS-HS620"}, when);
    EXPECT_EQ((std::vector<wxString>{"Title: Lobby", "Date Built: 2026-12-07 09:05:03", "Product: HBS-HS620",
                                     "Comments: five changes"}),
              header);
    CSheetPages pages;
    LayOutSheet(sheet, header, pages);
    const int H = pages.PageHeight();
    ASSERT_EQ(2u, pages.GetPages().size());
    const std::vector<SPlacedItem>& first = pages.GetPages()[0];
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(H - 26, first[0].top);
    EXPECT_EQ(H - 104, first[3].top);
    const std::vector<SPlacedItem> images = ImagesOf(first);
    ASSERT_EQ(2u, images.size());
    EXPECT_EQ(H - 156, images[0].top);
    EXPECT_EQ(H - 156 - 330, images[1].top);
    EXPECT_EQ((pages.PageWidth() - 200) / 2.0, images[0].left);
    // The third does not fit below the second (its interval included) and goes over.
    EXPECT_EQ(H - 26, ImagesOf(pages.GetPages()[1])[0].top);
}

TEST(SheetOutputTest, ALongCaptionWrapsInsideThePageAndPushesWhatFollowsDown)
{
    CBarcodeSheet sheet;
    sheet.thumbWidth = 200;
    sheet.thumbHeight = 50;
    sheet.showCaption = true;
    for (int i = 0; i < 2; ++i)
        sheet.AddImage(BlankImage(800, 200));
    wxString longCaption;
    for (int i = 0; i < 12; ++i)
        longCaption += wxString::FromUTF8("波特率 115200 串口通讯参数 ");
    sheet.AddCaption(longCaption);
    sheet.AddCaption("short");
    CSheetPages pages;
    LayOutSheet(sheet, {}, pages);
    const std::vector<SPlacedItem>& page = pages.GetPages()[0];
    ASSERT_EQ(4u, page.size());
    const STextExtent extent = pages.MeasureText(longCaption, page[1].width);
    EXPECT_GT(extent.lines, 1);
    EXPECT_LE(extent.width, pages.PageWidth() - 120);
    // Image, its caption, image, caption: the caption comes the interval below its
    // image, the second image one line step plus the wrapped lines below the caption.
    EXPECT_NEAR(page[0].top - page[0].height - sheet.interval, page[1].top, 1e-6);
    const double afterCaption = page[1].top - 26 - (extent.height - extent.firstLineHeight);
    EXPECT_NEAR(afterCaption, page[2].top, 1e-6);
}

CTempDir& Dir()
{
    static CTempDir dir;
    return dir;
}

std::string PathOf(const wxString& name)
{
    return std::string(Dir().File(name).utf8_str());
}

wxString ChineseCaption(const wxString& command, const wxString& value)
{
    return command == "232BAD" ? wxString::FromUTF8("波特率") + value : wxString();
}

// A sheet of each kind of settings barcode, its PDF and what it must decode to.
struct SPrintCase {
    const char* name;
    int symbology;  // -1: the linear sheet
    EDecoder decoder;
    std::vector<std::string> payloads;
};

// Where each barcode of a printed case lies: page (from 1) and box in points from the top.
struct SBarcodeBox {
    size_t page;
    double left, top, width, height;
};

std::vector<SBarcodeBox> PrintCasePdf(const SPrintCase& c, std::string& pdf)
{
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE", ChineseCaption);
    const EBuildResult result = c.symbology < 0
        ? builder.BuildLinearFromText("232BAD1;BEPLVL2", SLinearOptions())
        : builder.BuildBatchFromText("232BAD1;BEPLVL2", c.symbology, false);
    EXPECT_EQ(EBuildResult::Built, result) << builder.GetLastError();
    // Each symbol at a quarter of its 600-dpi size, as the linear page draws it.
    sheet.thumbWidth = sheet.GetImages().at(0).width / 4;
    sheet.thumbHeight = sheet.GetImages().at(0).height / 4;
    sheet.showCaption = true;
    const std::vector<wxString> header = HeaderLines({"Lobby", "", "HBS-HS620"}, wxDateTime::Now());
    wxString error;
    pdf = PathOf(wxString(c.name) + ".pdf");
    EXPECT_TRUE(SaveSheetAsPdf(sheet, header, pdf, error)) << error;
    CSheetPages pages;
    LayOutSheet(sheet, header, pages);
    std::vector<SBarcodeBox> boxes;
    for (size_t page = 0; page < pages.GetPages().size(); ++page)
        for (const SPlacedItem& item : pages.GetPages()[page])
            if (!item.isText)
                boxes.push_back({page + 1, item.left, pages.PageHeight() - item.top, item.width, item.height});
    return boxes;
}

class PrintQualityTest : public ::testing::TestWithParam<std::tuple<SPrintCase, int>> {};

// Each barcode is rasterised with a margin around it, as a scanner aimed at it sees it.
TEST_P(PrintQualityTest, ThePdfHasNoPictureAndEveryBarcodeDecodesAtPrinterResolution)
{
    const auto& [c, dpi] = GetParam();
    std::string pdf;
    const std::vector<SBarcodeBox> boxes = PrintCasePdf(c, pdf);
    EXPECT_EQ("", RunCommand("pdfimages -list " + pdf + " | tail -n +3"));
    const double scale = dpi / 72.0;
    const double margin = 20;
    std::vector<std::string> decoded;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const SBarcodeBox& box = boxes[i];
        const std::string png = PathOf(wxString::Format("%s-%d-%zu", c.name, dpi, i));
        RunCommand(wxString::Format("pdftoppm -r %d -gray -png -singlefile -f %zu -l %zu -x %ld -y %ld -W %ld -H %ld "
                                    "%s %s 2>/dev/null",
                                    dpi, box.page, box.page, std::lround((box.left - margin) * scale),
                                    std::lround((box.top - margin) * scale),
                                    std::lround((box.width + 2 * margin) * scale),
                                    std::lround((box.height + 2 * margin) * scale), pdf, png)
                       .ToStdString());
        for (const std::string& symbol : DecodeFile(png + ".png", c.decoder))
            decoded.push_back(symbol);
    }
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ(c.payloads, decoded);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindAtThreeResolutions, PrintQualityTest,
    ::testing::Combine(
        ::testing::Values(
            SPrintCase{"linear", -1, EDecoder::Zbar, {"@232BAD1", "@BEPLVL2", "@SETUPE0", "@SETUPE1"}},
            SPrintCase{"qr", SYMBOLOGY_QR, EDecoder::Zbar, {"@232BAD1;BEPLVL2;"}},
            SPrintCase{"pdf417", SYMBOLOGY_PDF417, EDecoder::ZXing, {"@232BAD1;BEPLVL2;"}},
            SPrintCase{"datamatrix", SYMBOLOGY_DATAMATRIX, EDecoder::ZXing, {"@232BAD1;BEPLVL2;"}}),
        ::testing::Values(150, 300, 600)),
    [](const auto& param) {
        return std::string(std::get<0>(param.param).name) + "_" + std::to_string(std::get<1>(param.param)) + "dpi";
    });

TEST(SheetOutputTest, ThePdfTextHoldsEveryScriptAndExtractsWithoutWarnings)
{
    std::string pdf;
    PrintCasePdf(SPrintCase{"linear", -1, EDecoder::Zbar, {}}, pdf);
    const std::string text = RunCommand("pdftotext " + pdf + " - 2>/dev/null");
    for (const char* expected : {"Title: Lobby", "Product: HBS-HS620", "波特率1", "@232BAD1", "SETUPE0"})
        EXPECT_NE(std::string::npos, text.find(expected)) << expected << " in\n" << text;
    EXPECT_EQ("", RunCommand("pdftotext " + pdf + " /dev/null 2>&1"));
    EXPECT_EQ("", RunCommand("pdffonts " + pdf + " 2>&1 >/dev/null"));
}

TEST(SheetOutputTest, PngPagesAndWordPicturesShowTheSameBarcodes)
{
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE", ChineseCaption);
    ASSERT_EQ(EBuildResult::Built, builder.BuildLinearFromText("232BAD1;BEPLVL2;SCNMOD0", SLinearOptions()));
    sheet.showCaption = true;
    const std::vector<wxString> header = HeaderLines({"Lobby", "", "HBS-HS620"}, wxDateTime::Now());
    wxString error;
    ASSERT_TRUE(SaveSheetAsPng(sheet, header, Dir().File("sheet.png"), error)) << error;
    std::vector<std::string> decoded;
    for (size_t page = 0; wxFileExists(PngPagePath(Dir().File("sheet.png"), page)); ++page)
        for (const std::string& symbol : DecodeFile(PathOf(PngPagePath("sheet.png", page)), EDecoder::Zbar))
            decoded.push_back(symbol);
    std::sort(decoded.begin(), decoded.end());
    const std::vector<std::string> all{"@232BAD1", "@BEPLVL2", "@SCNMOD0", "@SETUPE0", "@SETUPE1"};
    EXPECT_EQ(all, decoded);
    EXPECT_EQ(Dir().File("sheet-2.png"), PngPagePath(Dir().File("sheet.png"), 1));

    const std::string docx = PathOf("sheet.docx");
    ASSERT_TRUE(SaveSheetAsDocx(sheet, header, docx, error)) << error;
    const std::string read = RunCommand(
        "/usr/bin/python3 -c \"import docx,sys; d=docx.Document(sys.argv[1]); "
        "print(len(d.inline_shapes)); print('|'.join(p.text for p in d.paragraphs if p.text))\" " + docx);
    EXPECT_EQ("5\nTitle: Lobby|" + std::string(header[1].utf8_str()) +
                  "|Product: HBS-HS620|Comments: |SETUPE1|波特率1|@BEPLVL2|@SCNMOD0|SETUPE0\n",
              read);
    // The second picture, at 600 dpi: a quarter of the renderer's 600-dpi image drawn
    // in points is 600 / 72 / 4 of its pixels wide.
    const std::string picture = PathOf("picture2.png");
    RunCommand("unzip -p " + docx + " word/media/image2.png > " + picture);
    EXPECT_EQ(std::vector<std::string>{"@232BAD1"}, DecodeFile(picture, EDecoder::Zbar));
    const std::string width = RunCommand("/usr/bin/python3 -c \"import struct,sys; "
                                         "print(struct.unpack('>I', open(sys.argv[1],'rb').read()[16:20])[0])\" " +
                                         picture);
    EXPECT_EQ(std::to_string(std::lround(sheet.DrawnWidth() * 600.0 / 72.0)) + "\n", width);
}

TEST(SheetOutputTest, AFileThatCannotBeWrittenIsReportedAndAnExistingFileStays)
{
    CTempDir dir;
    CBarcodeSheet sheet;
    sheet.AddImage(BlankImage(40, 40));
    dir.Write("kept.pdf", "old");
    wxString error;
    EXPECT_FALSE(SaveSheetAsPdf(sheet, {}, "/no/such/folder/sheet.pdf", error));
    EXPECT_FALSE(SaveSheetAsPng(sheet, {}, "/no/such/folder/sheet.png", error));
    EXPECT_FALSE(SaveSheetAsDocx(sheet, {}, "/no/such/folder/sheet.docx", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ("old", dir.Read("kept.pdf"));
}

TEST(BmpImageTest, OneBitFilesReadBackPixelForPixelAndTwentyFourBitTopDownFilesAreRead)
{
    for (const int width : {1, 7, 8, 9, 33}) {
        const SMonoImage original = Checkerboard(width, 5);
        const std::vector<uint8_t> file = EncodeBmp(original);
        EXPECT_EQ(file.size(), ReadBmpFileSize(file.data(), file.size()));
        SMonoImage decoded;
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), decoded)) << width;
        EXPECT_EQ(original.bits, decoded.bits) << width;
    }
    // 2 x 2, rows top first (negative height): black, white / white, black.
    std::vector<uint8_t> file = EncodeBmp(Checkerboard(2, 2));
    file.resize(54);
    file[10] = 54;
    file[22] = 0xFE, file[23] = file[24] = file[25] = 0xFF;
    file[28] = 24;
    const uint8_t rows[] = {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0};
    file.insert(file.end(), rows, rows + sizeof rows);
    SMonoImage decoded;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), decoded));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(x != y, decoded.IsWhite(x, y)) << x << "," << y;
}

TEST(BmpImageTest, CutOrForeignFilesAreRefused)
{
    const std::vector<uint8_t> good = EncodeBmp(Checkerboard(40, 20));
    SMonoImage decoded;
    for (size_t cut : {size_t(0), size_t(13), size_t(53), good.size() - 1}) {
        const std::vector<uint8_t> part(good.begin(), good.begin() + cut);
        EXPECT_FALSE(DecodeBmp(part.data(), part.size(), decoded)) << cut;
    }
    // Run-length encoded, pixels said to start far past the end, and a height of
    // INT32_MIN, whose rows-first sign cannot be turned into a size.
    for (const auto& [at, value] : {std::pair<size_t, uint8_t>{30, 1}, {13, 0x7F}, {25, 0x80}}) {
        std::vector<uint8_t> broken = good;
        broken[at] = value;
        if (at == 25)
            broken[22] = broken[23] = broken[24] = 0;
        EXPECT_FALSE(DecodeBmp(broken.data(), broken.size(), decoded)) << at;
        SSheetImage image;
        EXPECT_FALSE(at == 25 && MakeSheetImage(broken, image));
    }
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G'};
    EXPECT_FALSE(DecodeBmp(png.data(), png.size(), decoded));
}

}  // namespace
