// "vostrel-cli dataformat check": its command line, the rules in words and the preview.
#include "app/AppContext.h"
#include "cli/CliCommands.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct SCheckRun {
    int status;
    std::string out;
    std::string err;
};

SCheckRun Check(const std::vector<std::string>& arguments)
{
    CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR "/");
    SCliOptions options;
    std::string error;
    if (!ParseCliOptions(arguments, options, error))
        return {CLI_USAGE, "", error};
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCli(options, out, err);
    return {status, out.str(), err.str()};
}

TEST(CliDataFormatTest, ARuleTextIsToldInWordsAndTriedOnTheSample)
{
    const SCheckRun run = Check({"dataformat", "check", "F82DF501F10DB3", "--sample", "12-345", "--symbology", "ean-13"});
    EXPECT_EQ(CLI_OK, run.status) << run.err;
    EXPECT_EQ("F82D\tsearch forward for -\nF501\tmove the pointer forward 1 characters\n"
              "F10D\tsend all remaining characters, then [CR]\nB3\tinsert the symbology name\n"
              "preview\t345[CR]EAN-13\n",
              run.out);

    const SCheckRun failing = Check({"dataformat", "check", "FE41F10D", "--sample", "B1"});
    EXPECT_EQ(CLI_OK, failing.status);
    EXPECT_NE(std::string::npos, failing.out.find("preview\tdoes not apply (rule 1: compare: A not at the pointer)"))
        << failing.out;
    EXPECT_EQ(CLI_OK, Check({"dataformat", "check", ""}).status);  // no rules is a valid format

    const SCheckRun keys = Check({"dataformat", "check", "F100B5020204022B", "--sample", "7"});
    EXPECT_NE(std::string::npos, keys.out.find("preview\t7[NUL]A[Shift+Tab]\n")) << keys.out;
}

TEST(CliDataFormatTest, BadTextsNamesAndCommandLinesAreRefusedWithAReason)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"dataformat", "check", "F10"}, "is no valid rule text: rule 1 (F10) is cut short"},
        {{"dataformat", "check", "F1zz"}, "rule 1 (F1zz): character 3 \"z\" does not belong there"},
        {{"dataformat", "check", "F10D", "--sample", "x", "--symbology", "Nope"}, "unknown symbology \"Nope\""},
        {{"dataformat", "check", "F10D", "--symbology", "EAN-13"}, "--symbology only goes with --sample"},
        {{"dataformat", "verify", "F10D"}, "dataformat needs the word check"},
        {{"dataformat", "check"}, "takes one rule text"},
        {{"dataformat", "check", "F10D", "--sample"}, "--sample needs a value"},
        {{"dataformat", "check", "F10D", "--port", "/dev/pts/1"}, "unknown option --port"},
    };
    for (const auto& c : cases) {
        const SCheckRun run = Check(c.arguments);
        EXPECT_EQ(CLI_USAGE, run.status) << c.reason;
        EXPECT_NE(std::string::npos, run.err.find(c.reason)) << run.err;
        EXPECT_EQ("", run.out);
    }
}

}  // namespace
