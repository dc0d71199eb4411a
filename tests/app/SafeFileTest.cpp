// The one writer and the input checks every tool's files go through, and the bounds
// of XML files, against the targets a careless or hostile user gives.
#include "app/SafeFile.h"
#include "app/XmlFile.h"
#include "support/FileSizeLimit.h"
#include "support/NestedXml.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <set>

namespace {

std::string Bytes(const wxString& path)
{
    return std::string(path.fn_str());
}

// The names in a folder, hidden ones included, so that a leftover shows.
std::set<std::string> Entries(const std::string& folder)
{
    std::set<std::string> names;
    DIR* directory = opendir(folder.c_str());
    while (const dirent* entry = directory ? readdir(directory) : nullptr) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.insert(name);
    }
    if (directory)
        closedir(directory);
    return names;
}

struct SWriteCase {
    const char* name;
    // Makes the target in the folder and returns the path to write.
    std::function<std::string(const CTempDir&)> prepare;
    const char* refusal;  // a part of the message, or null when the write succeeds
};

class SafeFileWriteTest : public testing::TestWithParam<SWriteCase> {};

TEST_P(SafeFileWriteTest, OnlyARegularFileOrALinksTargetIsReplacedAndARefusalKeepsEverything)
{
    CTempDir dir;
    dir.Write("old.txt", "old");
    const std::string path = GetParam().prepare(dir);
    const std::set<std::string> before = Entries(Bytes(dir.Path()));
    std::string error;
    const bool written = WriteFileSafely(path, "new", error);
    if (GetParam().refusal) {
        EXPECT_FALSE(written);
        EXPECT_NE(std::string::npos, error.find(GetParam().refusal)) << error;
        EXPECT_EQ("old", dir.Read("old.txt"));
    } else {
        EXPECT_TRUE(written) << error;
    }
    // No temporary file stays behind, whatever happened.
    std::set<std::string> after = Entries(Bytes(dir.Path()));
    after.erase("new.txt");
    EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SafeFileWriteTest,
    testing::Values(
        SWriteCase{"NewFile", [](const CTempDir& d) { return Bytes(d.File("new.txt")); }, nullptr},
        SWriteCase{"Folder", [](const CTempDir& d) { return Bytes(d.Path()); }, "is a folder"},
        SWriteCase{"Device", [](const CTempDir&) { return std::string("/dev/null"); }, "is a device"},
        SWriteCase{"Fifo",
                   [](const CTempDir& d) {
                       mkfifo(Bytes(d.File("pipe")).c_str(), 0600);
                       return Bytes(d.File("pipe"));
                   },
                   "is a FIFO"},
        SWriteCase{"LinkToNothing",
                   [](const CTempDir& d) {
                       EXPECT_EQ(0, symlink("absent", Bytes(d.File("dangling")).c_str()));
                       return Bytes(d.File("dangling"));
                   },
                   "symbolic link to nothing"},
        SWriteCase{"ReadOnlyFile",
                   [](const CTempDir& d) {
                       chmod(Bytes(d.File("old.txt")).c_str(), 0444);
                       return Bytes(d.File("old.txt"));
                   },
                   "read-only"},
        SWriteCase{"HardLinkedFile",
                   [](const CTempDir& d) {
                       EXPECT_EQ(0, link(Bytes(d.File("old.txt")).c_str(), Bytes(d.File("twin.txt")).c_str()));
                       return Bytes(d.File("old.txt"));
                   },
                   "hard links"}),
    [](const testing::TestParamInfo<SWriteCase>& row) { return row.param.name; });

TEST(SafeFileTest, ALinkStaysALinkItsTargetTakesTheFileWithItsModeAndIsTheSameFile)
{
    CTempDir dir;
    dir.Write("target.xml", "old");
    const std::string target = Bytes(dir.File("target.xml"));
    chmod(target.c_str(), 0640);
    const std::string link = Bytes(dir.File("link.xml"));
    ASSERT_EQ(0, symlink("target.xml", link.c_str()));

    std::string error;
    ASSERT_TRUE(WriteFileSafely(link, "new", error)) << error;
    struct stat status {};
    ASSERT_EQ(0, lstat(link.c_str(), &status));
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ("new", dir.Read("target.xml"));
    ASSERT_EQ(0, stat(target.c_str(), &status));
    EXPECT_EQ(0640u, status.st_mode & 07777);

    dir.Write("part.bin", "x");
    dir.Write("other.bin", "x");
    ASSERT_EQ(0, symlink("part.bin", Bytes(dir.File("alias.bin")).c_str()));
    EXPECT_TRUE(IsSameFile(Bytes(dir.File("part.bin")), Bytes(dir.File("alias.bin"))));
    EXPECT_FALSE(IsSameFile(Bytes(dir.File("part.bin")), Bytes(dir.File("other.bin"))));
    EXPECT_FALSE(IsSameFile(Bytes(dir.File("part.bin")), Bytes(dir.File("absent.bin"))));
}

// Only root may give a file away, so only root can replace another user's file.
TEST(SafeFileTest, AFileReplacedByRootKeepsItsOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a file of another owner";
    CTempDir dir;
    dir.Write("theirs.xml", "old");
    const std::string path = Bytes(dir.File("theirs.xml"));
    ASSERT_EQ(0, chown(path.c_str(), 4321, 4321));
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "new", error)) << error;
    struct stat status {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(4321u, status.st_uid);
    EXPECT_EQ(4321u, status.st_gid);
    EXPECT_EQ("new", dir.Read("theirs.xml"));
}

TEST(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldFileAndNoTemporaryFile)
{
    CTempDir dir;
    dir.Write("sheet.pdf", "old");
    std::string error;
    bool written = false;
    {
        const CFileSizeLimit full(16);
        ASSERT_TRUE(full.IsSet());
        written = WriteFileSafely(Bytes(dir.File("sheet.pdf")), std::string(4096, 'x'), error);
    }

    EXPECT_FALSE(written);
    EXPECT_NE(std::string::npos, error.find("cannot write")) << error;
    EXPECT_EQ("old", dir.Read("sheet.pdf"));
    EXPECT_EQ((std::set<std::string>{"sheet.pdf"}), Entries(Bytes(dir.Path())));
}

TEST(SafeFileTest, InputsThatAreNoRegularFileOrTooLargeAreRefusedBeforeReading)
{
    CTempDir dir;
    dir.Write("small.bin", "1234");
    mkfifo(Bytes(dir.File("pipe")).c_str(), 0600);
    const struct {
        std::string path;
        const char* refusal;
    } cases[] = {{Bytes(dir.Path()), "is a folder"},
                 {"/dev/zero", "is a device"},
                 {Bytes(dir.File("pipe")), "is a FIFO"},
                 {Bytes(dir.File("absent")), "cannot read"}};
    for (const auto& row : cases) {
        std::string bytes;
        std::string error;
        EXPECT_FALSE(ReadInputFile(row.path, 1 << 20, bytes, error)) << row.path;
        EXPECT_NE(std::string::npos, error.find(row.refusal)) << error;
    }
    std::string bytes;
    std::string error;
    EXPECT_FALSE(ReadInputFile(Bytes(dir.File("small.bin")), 3, bytes, error));
    EXPECT_NE(std::string::npos, error.find("larger than 3 bytes")) << error;
    EXPECT_TRUE(ReadInputFile(Bytes(dir.File("small.bin")), 4, bytes, error)) << error;
    EXPECT_EQ("1234", bytes);
}

// "café" in Latin-1: a name that is no UTF-8 is written and read under that very name.
TEST(SafeFileTest, ANameThatIsNoUtf8IsWrittenAndReadUnderItsOwnBytes)
{
    CTempDir dir;
    const std::string name = Bytes(dir.Path()) + "caf\xE9.xml";
    EXPECT_EQ(name, PathBytes(PathFromBytes(name)));
    wxXmlDocument document;
    document.SetRoot(new wxXmlNode(wxXML_ELEMENT_NODE, "Vostrel"));
    wxString error;
    ASSERT_TRUE(SaveXmlFile(document, PathFromBytes(name), error)) << error;
    struct stat status {};
    EXPECT_EQ(0, stat(name.c_str(), &status));
    wxXmlDocument loaded;
    EXPECT_TRUE(LoadXmlFile(loaded, PathFromBytes(name), "Vostrel", "SafeFileTest"));
    EXPECT_EQ((std::set<std::string>{"caf\xE9.xml"}), Entries(Bytes(dir.Path())));
}

TEST(XmlBoundsTest, DeepWideOrBrokenDocumentsAreRefusedBeforeATreeIsBuilt)
{
    std::string wide = "<r>";
    for (size_t i = 0; i < kMaxXmlElements; ++i)
        wide += "<c/>";
    wide += "</r>";
    const struct {
        std::string text;
        bool bounded;
        const char* why;  // the one cause that applies
    } cases[] = {{Nested(kMaxXmlDepth), true, ""},
                 {Nested(kMaxXmlDepth + 1), false, "it nests deeper than 64 elements"},
                 {Nested(200000), false, "it nests deeper than 64 elements"},
                 {wide, false, "it holds more than 200000 elements"},
                 {"<r><c></r>", false, "it is no well-formed XML (line 1: mismatched tag)"}};
    for (const auto& row : cases) {
        std::string why;
        EXPECT_EQ(row.bounded, IsBoundedXml(row.text, &why)) << row.text.substr(0, 40);
        EXPECT_EQ(row.why, why);
    }
}

TEST(XmlBoundsTest, ADocumentNested200000DeepFailsToLoadWithTheReason)
{
    CTempDir dir;
    dir.Write("deep.xml", "<Vostrel>" + Nested(200000) + "</Vostrel>");
    wxXmlDocument document;
    EXPECT_FALSE(LoadXmlFile(document, dir.File("deep.xml"), "Vostrel", "SafeFileTest"));
    EXPECT_TRUE(GetLastXmlLoadError().Contains("deeper")) << GetLastXmlLoadError();
}

}  // namespace
