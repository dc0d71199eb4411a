#include "app/CrashDump.h"
#include "app/StartupRules.h"

#include <gtest/gtest.h>

namespace {

wxArrayString Args(std::initializer_list<const char*> items)
{
    wxArrayString list;
    for (const char* item : items)
        list.Add(wxString::FromUTF8(item));
    return list;
}

TEST(ScreenAndFont, EightHundredBy545IsTheSmallestScreenOnlyCnIsChineseAndYaHeiIsFoundUnderEitherName)
{
    EXPECT_TRUE(IsScreenLargeEnough(800, 545));
    EXPECT_FALSE(IsScreenLargeEnough(799, 545));
    EXPECT_FALSE(IsScreenLargeEnough(800, 544));
    EXPECT_EQ(2052, UiLanguageIdFor("cn"));
    EXPECT_EQ(1033, UiLanguageIdFor("EN"));

    const wxString yaHei = wxString::FromUTF8("微软雅黑");
    SUiFontChoice choice = ChooseUiFont(Args({"DejaVu Sans", "Microsoft YaHei"}));
    EXPECT_EQ(yaHei, choice.face);
    EXPECT_EQ(18, choice.height);
    EXPECT_EQ(24, choice.titleHeight);

    choice = ChooseUiFont(Args({"微软雅黑"}));
    EXPECT_EQ(yaHei, choice.face);

    choice = ChooseUiFont(Args({"DejaVu Sans", "microsoft yahei"}));
    EXPECT_EQ("Arial", choice.face);
    EXPECT_EQ(16, choice.height);
    EXPECT_EQ(18, choice.titleHeight);
}

// -File and -Xml, in any letter case, take the next argument; an option as the last
// argument sets nothing, and the program path itself is never an option.
TEST(CommandLine, FileAndXmlInAnyLetterCaseTakeTheNextArgument)
{
    const struct {
        std::initializer_list<const char*> arguments;
        const char* outputFile;
        const char* configurationFile;
        const char* updateError = "";  // what the updater says when it brings this version back
    } cases[] = {
        {{"vostrel", "-file", "/tmp/out.txt", "-XML", "/tmp/c.xml"}, "/tmp/out.txt", "/tmp/c.xml"},
        {{"vostrel", "-FiLe", "a b.txt"}, "a b.txt", ""},
        {{"vostrel", "x", "-File"}, "", ""},
        {{"-File", "x"}, "", ""},
        {{"vostrel", "-UpdateError", "the signature is not valid"}, "", "", "the signature is not valid"},
        {{"vostrel", "-updateerror", "x"}, "", ""},
    };
    for (const auto& row : cases) {
        const SCommandLineFiles files = ScanCommandLine(Args(row.arguments));
        EXPECT_EQ(row.outputFile, files.outputFile) << *row.arguments.begin();
        EXPECT_EQ(row.configurationFile, files.configurationFile) << *row.arguments.begin();
        EXPECT_EQ(row.updateError, files.updateError) << *row.arguments.begin();
    }
}

TEST(Version, FourNumbersOrTheFallbackAndTheTitleDropsAZeroBuild)
{
    EXPECT_EQ("2.3.14.7", FormatProgramVersion("2.3.14.7"));
    for (const char* broken : {"", "1.2.3", "1.2.3.x", "1.2.3.65536"})
        EXPECT_EQ("1.0.0.5", FormatProgramVersion(broken)) << broken;
    EXPECT_EQ("2.3.1", FormatTitleVersion("2.3.1.0", false));
    EXPECT_EQ("2.3.1.B7", FormatTitleVersion("2.3.1.7", false));
    EXPECT_EQ("2.3.1.Rescue", FormatTitleVersion("2.3.1.0", true));
    EXPECT_EQ("1.0.0.B5", FormatTitleVersion("", false));
}

TEST(DumpNames, DotsBecomeDashesAndBlanksUnderscores)
{
    EXPECT_EQ("Vostrel", MakeDumpPrefix("Vostrel"));
    EXPECT_EQ("My-Tool_2-0", MakeDumpPrefix("My.Tool 2.0"));

    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 0;
    when.tm_mday = 5;
    when.tm_hour = 7;
    when.tm_min = 8;
    when.tm_sec = 9;
    EXPECT_EQ("My-Tool_2-020260105-070809.dmp", MakeDumpFileName(MakeDumpPrefix("My.Tool 2.0"), when));
}

}  // namespace
