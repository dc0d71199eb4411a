#include "app/FileNaming.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct SNameCase {
    const char* model;
    const char* extension;
    const char* name;
};

class ProposedFileNameTest : public ::testing::TestWithParam<SNameCase> {};

TEST_P(ProposedFileNameTest, ModelAndDateMakeTheName)
{
    const wxDateTime date(7, wxDateTime::Mar, 2026);
    EXPECT_EQ(wxString(GetParam().name), ProposedFileName(GetParam().model, date, GetParam().extension));
}

INSTANTIATE_TEST_SUITE_P(Models, ProposedFileNameTest,
                         ::testing::Values(SNameCase{"HR22", "xml", "HR22_2026-03-07.xml"},
                                           SNameCase{"", "txt", "Vostrel_2026-03-07.txt"},
                                           SNameCase{"  ", "", "Vostrel_2026-03-07"},
                                           SNameCase{"HR 3280/BT:x", "png", "HR_3280_BT_x_2026-03-07.png"}));

struct SFilterCase {
    const char* filter;
    int index;
    const char* extension;
};

class FilterExtensionTest : public ::testing::TestWithParam<SFilterCase> {};

TEST_P(FilterExtensionTest, TheChosenTypeGivesTheExtension)
{
    EXPECT_EQ(wxString(GetParam().extension), FilterExtension(GetParam().filter, GetParam().index))
        << GetParam().filter << " #" << GetParam().index;
}

const char kImages[] = "*.bmp|*.bmp|*.jpg|*.jpg|*.tif|*.tif|*.png|*.png||";
const char kFirmware[] = "(*.bin;*.bin2)|*.bin;*.bin2|All Files (*.*)|*.*";

INSTANTIATE_TEST_SUITE_P(Filters, FilterExtensionTest,
                         ::testing::Values(SFilterCase{kImages, 0, "bmp"}, SFilterCase{kImages, 3, "png"},
                                           SFilterCase{kImages, 4, ""}, SFilterCase{kFirmware, 0, "bin"},
                                           SFilterCase{kFirmware, 1, ""}, SFilterCase{"Vost Files (*.xml)|*.xml||", 0, "xml"},
                                           SFilterCase{"", 0, ""}, SFilterCase{"All|*", 0, ""}));

TEST(FileNamingTest, TheRememberedFolderWinsWhileItExistsThenTheDocumentsThenHome)
{
    CTempDir remembered, documents;
    const struct {
        wxString remembered, documents, start;
    } cases[] = {{remembered.Path(), documents.Path(), remembered.Path()},
                 {remembered.Path() + "gone", documents.Path(), documents.Path()},
                 {"", documents.Path(), documents.Path()},
                 {"", documents.Path() + "gone", "/home/u"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.start, StartFolder(c.remembered, c.documents, "/home/u")) << c.remembered << " " << c.documents;
}

}  // namespace
