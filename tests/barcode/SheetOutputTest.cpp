// Sheet output: where the PDF layout puts lines and barcodes, and the PDF and Word
// files as other programs read them: pages, pictures, texts, and every barcode of
// the PDF decoded back to its payload.
#include "BarcodeSheetBuilder.h"
#include "SheetOutput.h"
#include "SheetPages.h"

#include "DecodeSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

SSheetImage BlankImage(int width, int height)
{
    SMonoImage mono;
    mono.width = width;
    mono.height = height;
    mono.bits.assign(mono.RowBytes() * height, 0xFF);
    SSheetImage image;
    MakeSheetImage(EncodeBmp(mono), image);
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
    ASSERT_TRUE(LayOutSheetOnPdf(sheet, header, pages));
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

TEST(SheetOutputTest, PdfAndWordFilesHoldTheSheetAndEveryPdfBarcodeDecodes)
{
    CTempDir dir;
    CBarcodeSheet sheet;
    CBarcodeSheetBuilder builder(sheet, "SETUPE");
    ASSERT_EQ(EBuildResult::Built, builder.BuildLinearFromText("232BAD1;BEPLVL2;SCNMOD0", SLinearOptions()));
    sheet.showCaption = true;
    const std::vector<wxString> header = HeaderLines({"Lobby", "", "HBS-HS620"}, wxDateTime::Now());
    wxString error;
    const std::string pdf = std::string(dir.File("sheet.pdf").utf8_str());
    ASSERT_TRUE(SaveSheetAsPdf(sheet, header, pdf, error)) << error;
    EXPECT_EQ("1\n", RunCommand("pdfinfo " + pdf + " | awk '/^Pages:/ {print $2}'"));
    const std::string list = RunCommand("pdfimages -list " + pdf + " | tail -n +3");
    EXPECT_EQ(5, std::count(list.begin(), list.end(), '\n')) << list;
    EXPECT_NE(std::string::npos, RunCommand("pdftotext " + pdf + " - 2>/dev/null").find("Title: Lobby"));

    RunCommand("pdftoppm -r 300 -gray -png 2>/dev/null " + pdf + " " + std::string(dir.File("page").utf8_str()));
    std::vector<std::string> decoded = DecodeFile(std::string(dir.File("page-1.png").utf8_str()), EDecoder::Zbar);
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ((std::vector<std::string>{"@232BAD1", "@BEPLVL2", "@SCNMOD0", "@SETUPE0", "@SETUPE1"}), decoded);

    const std::string docx = std::string(dir.File("sheet.docx").utf8_str());
    ASSERT_TRUE(SaveSheetAsDocx(sheet, header, docx, error)) << error;
    const std::string read = RunCommand(
        "/usr/bin/python3 -c \"import docx,sys; d=docx.Document(sys.argv[1]); "
        "print(len(d.inline_shapes)); print('|'.join(p.text for p in d.paragraphs if p.text))\" " + docx);
    EXPECT_EQ("5\nTitle: Lobby|" + std::string(header[1].utf8_str()) +
                  "|Product: HBS-HS620|Comments: |SETUPE1|@232BAD1|@BEPLVL2|@SCNMOD0|SETUPE0\n",
              read);
}

TEST(SheetOutputTest, AFileThatCannotBeWrittenIsReportedAndAnExistingFileStays)
{
    CTempDir dir;
    CBarcodeSheet sheet;
    sheet.AddImage(BlankImage(40, 40));
    dir.Write("kept.pdf", "old");
    wxString error;
    EXPECT_FALSE(SaveSheetAsPdf(sheet, {}, "/no/such/folder/sheet.pdf", error));
    EXPECT_FALSE(SaveSheetAsDocx(sheet, {}, "/no/such/folder/sheet.docx", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ("old", dir.Read("kept.pdf"));
}

}  // namespace
