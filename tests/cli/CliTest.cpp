// vostrel-cli's command line, its send command against scanners played by the test,
// "dataformat check" (the rules in words and the preview), and its language: where
// "--lang" may stand and which codes it takes, and the order in which the option,
// hbs.ini and the locale decide.
#include "cli/CliCommands.h"
#include "cli/CliInventory.h"
#include "cli/CliLanguage.h"
#include "cli/CliReport.h"
#include "cli/CliSupport.h"
#include "support/CoreTest.h"
#include "support/EndlessReplyServer.h"
#include "support/ScriptedScanner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/file.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

namespace {

SCliOptions Parse(const std::vector<std::string>& arguments)
{
    SCliOptions options;
    std::string error;
    EXPECT_TRUE(ParseCliOptions(arguments, options, error)) << error;
    return options;
}

std::string Refusal(const std::vector<std::string>& arguments)
{
    SCliOptions options;
    std::string error;
    EXPECT_FALSE(ParseCliOptions(arguments, options, error));
    return error;
}

TEST(CliOptions, CommandsTakeTheirOptionsInAnyOrder)
{
    const SCliOptions list = Parse({"list", "--baud", "115200", "--port", "/dev/pts/7"});
    EXPECT_EQ(std::make_tuple(ECliCommand::List, std::string("/dev/pts/7"), 115200u),
              std::make_tuple(list.command, list.port, list.baudRate));
    const SCliOptions send = Parse({"send", "@232BAD*;BEPLVL*", "--timeout", "300", "--sim", "HBS-HI880"});
    EXPECT_EQ(std::make_tuple(ECliCommand::Send, std::string("@232BAD*;BEPLVL*"), 300u, std::string("HBS-HI880"), 0u),
              std::make_tuple(send.command, send.text, send.timeoutMs, send.simModel, send.baudRate));
    const SCliOptions apply = Parse({"apply", "--force", "a.xml", "--all"});
    EXPECT_EQ(std::make_tuple(ECliCommand::Apply, std::string("a.xml"), true, true),
              std::make_tuple(apply.command, apply.text, apply.allScanners, apply.force));

    // --json goes with every command, also those that read their own options.
    const SCliOptions check = Parse({"dataformat", "--json", "check", "F12C"});
    EXPECT_EQ(ECliCommand::DataFormat, check.command);
    EXPECT_TRUE(check.json);
    const SCliOptions sheet = Parse({"barcode", "--kind", "1d", "--json", "--model", "HBS-FM300", "--commands",
                                     "232BAD1", "--output", "a.pdf"});
    EXPECT_TRUE(sheet.json);
    EXPECT_EQ("HBS-FM300", sheet.barcode.model);

    EXPECT_EQ(ECliCommand::Help, Parse({"send", "--help"}).command);
    EXPECT_EQ(ECliCommand::Help, Parse({"help"}).command);
}

TEST(CliOptions, CommandLinesThatCannotRunAreRefusedWithAReason)
{
    EXPECT_EQ("no command given", Refusal({}));
    EXPECT_NE(std::string::npos, Refusal({"lsit"}).find("unknown command"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--port"}).find("needs a value"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--baud", "12x"}).find("--baud"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--baud", "0"}).find("--baud"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--baud", "99999999999999999999"}).find("--baud"));
    EXPECT_NE(std::string::npos, Refusal({"send", "--timeout", "-1", "X"}).find("--timeout"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--verbose"}).find("unknown option"));
    EXPECT_NE(std::string::npos, Refusal({"list", "extra"}).find("no text"));
    EXPECT_NE(std::string::npos, Refusal({"send"}).find("needs the text"));
    EXPECT_NE(std::string::npos, Refusal({"send", "A", "B"}).find("one text"));
    EXPECT_NE(std::string::npos, Refusal({"send", "--port", "/dev/x", "--sim", "M", "A"}).find("together"));
    EXPECT_NE(std::string::npos, Refusal({"list", "--product", "P"}).find("--sim"));
    EXPECT_EQ("--all only goes with apply or upgrade", Refusal({"diff", "--all", "a.xml"}));
    EXPECT_EQ("read needs a configuration file", Refusal({"read"}));
    EXPECT_EQ("diff takes one configuration file", Refusal({"diff", "a.xml", "b.xml"}));
    EXPECT_EQ("--csv only goes with inventory", Refusal({"list", "--csv"}));
    EXPECT_EQ("--against only goes with inventory", Refusal({"apply", "--against", "a.xml", "b.xml"}));
    EXPECT_EQ("--json and --csv cannot be used together", Refusal({"inventory", "--json", "--csv"}));
    // An empty or repeated option is a slip in a script, never a wish.
    EXPECT_EQ("--sim needs a value that is not empty", Refusal({"list", "--sim", ""}));
    EXPECT_EQ("--port needs a value that is not empty", Refusal({"list", "--port", ""}));
    EXPECT_EQ("--port is given twice", Refusal({"list", "--port", "/dev/a", "--port", "/dev/b"}));
    EXPECT_EQ("send needs a text that is not empty", Refusal({"send", ""}));
    EXPECT_EQ("apply needs a file name that is not empty", Refusal({"apply", ""}));
    const std::vector<std::string> sheet = {"barcode", "--model", "HBS-FM300", "--output", "a.pdf"};
    const auto withSheet = [&](std::vector<std::string> more) {
        more.insert(more.begin(), sheet.begin(), sheet.end());
        return more;
    };
    EXPECT_EQ("barcode takes --commands or --file, not both", Refusal(withSheet({"--commands", "X", "--file", "Y"})));
    EXPECT_EQ("barcode needs --commands or --file", Refusal(withSheet({})));
    EXPECT_EQ("--output is given twice", Refusal(withSheet({"--commands", "X", "--output", "b.pdf"})));
    EXPECT_EQ("--file needs a value that is not empty", Refusal(withSheet({"--file", ""})));
    EXPECT_EQ("--split only goes with --kind 2d or all", Refusal(withSheet({"--commands", "X", "--split"})));
}

TEST(CliOptions, HelpNamesEverySettingThatApplyHoldsBack)
{
    const std::string usage = CliUsage();
    ASSERT_FALSE(CSaveCfg::GetFileHeldBackCommands().empty());
    for (const wxString& name : CSaveCfg::GetFileHeldBackCommands())
        EXPECT_NE(std::string::npos, usage.find(name.ToStdString())) << name;
}

TEST(CliOutput, ControlBytesAreShownEscapedInventoryTakesVersionsFromTheSystemTextAndCsvFieldsAreQuoted)
{
    EXPECT_EQ("AB\\x0D\\x0A\\\\z", PrintableValue(L"AB\r\n\\z"));
    EXPECT_EQ(std::string("\xE4\xB8\xAD", 3), PrintableValue(L"\x4E2D"));
    EXPECT_EQ("", PrintableValue(nullptr));
    EXPECT_EQ("ACK NAK ENQ", std::string(StatusName(REPLY_ACK)) + " " + StatusName(REPLY_NAK) + " " + StatusName(REPLY_ENQ));
    // A name with a tab or line break would split a tab-separated line.
    EXPECT_EQ("A\\x09B\\x0Ac\\\\", Column(std::string("A\tB\nc\\")));
    EXPECT_EQ("A\\x09B", Column(wxString("A\tB")));
    const wxString system = "Firmware: V1.00.001\r\nHardware:V1.0\r\nBoot kernel : K2 \r\nNo label here";
    EXPECT_EQ("V1.00.001", SystemInfoValue(system, "Firmware"));
    EXPECT_EQ("V1.0", SystemInfoValue(system, "hardware"));
    EXPECT_EQ("K2", SystemInfoValue(system, "Kernel"));
    EXPECT_EQ("", SystemInfoValue(system, "Serial"));
    EXPECT_EQ("plain", CsvField("plain"));
    EXPECT_EQ("\"a,b\"", CsvField("a,b"));
    EXPECT_EQ("\"say \"\"hi\"\"\"", CsvField("say \"hi\""));
}

TEST(CliOutput, OutputThatCannotBeWrittenTurnsSuccessIntoAFailure)
{
    const struct {
        int exitCode;
        int expected;
    } cases[] = {{CLI_OK, CLI_BAD_FILE}, {CLI_DIFFERENT, CLI_BAD_FILE}, {CLI_REFUSED, CLI_REFUSED}};
    for (const auto& row : cases) {
        std::ofstream full("/dev/full");
        full << std::string(1 << 16, 'x');
        std::ostringstream err;
        EXPECT_EQ(row.expected, FinishOutput(full, err, row.exitCode));
        EXPECT_NE(std::string::npos, err.str().find("output could not be written")) << err.str();
    }
    std::ostringstream written;
    std::ostringstream err;
    written << "fine";
    EXPECT_EQ(CLI_OK, FinishOutput(written, err, CLI_OK));
    EXPECT_EQ("", err.str());
}

TEST(CliOutput, UnderJsonResultsAndProblemsBecomeOneDocument)
{
    std::ostringstream out;
    const int code = RunWithJsonReport("list", out, [](std::ostream& text, std::ostream& problems) {
        EmitRecord(text, "scanners", {{"port", "/dev/pts/9"}}, "/dev/pts/9\t...");
        problems << "vostrel-cli: second scanner silent\n";
        problems << "vostrel-cli: note: SYSHRS (left out)\n";
        return CLI_NO_REPLY;
    });
    EXPECT_EQ(CLI_NO_REPLY, code);
    const nlohmann::json document = nlohmann::json::parse(out.str());
    EXPECT_EQ(nlohmann::json({{"command", "list"},
                              {"exitCode", 3},
                              {"errors", {"second scanner silent"}},
                              {"error", {{"message", "second scanner silent"}, {"exitCode", 3}}},
                              {"notes", {"SYSHRS (left out)"}},
                              {"scanners", {{{"port", "/dev/pts/9"}}}}}),
              document);
    EXPECT_FALSE(IsJsonReport());
}

TEST(CliOutput, EveryDocumentHasItsScannerListAndAFailureSaysWhyInOnePlace)
{
    struct SCase {
        int exitCode;
        nlohmann::json error;
    } cases[] = {
        {CLI_OK, nullptr},
        {CLI_BAD_FILE, {{"message", "the command failed with exit status 5"}, {"exitCode", CLI_BAD_FILE}}},
    };
    for (const SCase& test : cases) {
        std::ostringstream out;
        RunWithJsonReport("apply", out, [&](std::ostream&, std::ostream&) { return test.exitCode; });
        const nlohmann::json document = nlohmann::json::parse(out.str());
        EXPECT_EQ(nlohmann::json::array(), document["scanners"]) << out.str();
        EXPECT_EQ(test.error, document.value("error", nlohmann::json())) << out.str();
    }
    std::ostringstream usage;
    PrintJsonUsageError(usage, "apply", CLI_USAGE, "--ca needs a file");
    const nlohmann::json document = nlohmann::json::parse(usage.str());
    EXPECT_EQ(nlohmann::json::array(), document["scanners"]);
    EXPECT_EQ("--ca needs a file", document["error"]["message"]);
}

class CliSendTest : public CCoreTest {
protected:

    int Send(const std::string& text, const std::string& port, uint32_t timeoutMs = 2000)
    {
        SCliOptions options = Parse({"send", text, "--port", port, "--baud", "115200"});
        options.timeoutMs = timeoutMs;
        m_out.str("");
        m_err.str("");
        return RunSend(options, m_out, m_err);
    }

    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(CliSendTest, EveryItemIsPrintedWithItsStatusAndRefusalsSetTheExitCode)
{
    CScriptedScanner scanner;
    scanner.Script({ReplyFrame("232BAD5\x06;SCNTMO9999\x15;XYZABC\x05"), ReplyFrame("232BAD5\x06,PAR0\x06")});

    EXPECT_EQ(CLI_REFUSED, Send("232BAD5;SCNTMO9999;XYZABC", scanner.Path()));
    EXPECT_EQ("232BAD\t5\tACK\nSCNTMO\t9999\tNAK\nXYZABC\t\tENQ\n", m_out.str());

    EXPECT_EQ(CLI_OK, Send("#232BAD5", scanner.Path()));
    EXPECT_EQ("232BAD\t5\tACK\n232PAR\t0\tACK\n", m_out.str());

    const std::vector<std::string> requests = scanner.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(std::string("~\x01" "0000@232BAD5;SCNTMO9999;XYZABC;\x03"), requests[0]);
    EXPECT_EQ(std::string("~\x01" "0000#232BAD5;\x03"), requests[1]);
}

TEST_F(CliSendTest, ARequestBeyondWhatOneExchangeBringsBackSaysSo)
{
    std::string request = "@";
    std::string items;
    for (int i = 0; i < 1100; ++i) {
        request += std::string(i ? ";" : "") + "BEPLVL";
        items += std::string(i ? ";" : "") + "BEPLVL3\x06";
    }
    CScriptedScanner scanner;
    scanner.Script({ReplyFrame(items)});
    EXPECT_EQ(CLI_OK, Send(request, scanner.Path()));
    EXPECT_EQ(std::string::npos, m_out.str().find("\n", 1024 * std::string("BEPLVL\t3\tACK\n").size()));
    EXPECT_NE(std::string::npos, m_err.str().find("1100 requests, of which only the first 1024 replies are shown"))
        << m_err.str();
}

TEST_F(CliSendTest, SilenceAndGarbageAreNoReply)
{
    CScriptedScanner scanner;
    scanner.Script({"", "", "\xFF\xFEnoise"});
    EXPECT_EQ(CLI_NO_REPLY, Send("@232BAD*", scanner.Path(), 150));
    EXPECT_NE(std::string::npos, m_err.str().find("no usable reply")) << m_err.str();
    EXPECT_EQ("", m_out.str());
    EXPECT_EQ(CLI_NO_REPLY, Send("@232BAD*", scanner.Path(), 150));
    EXPECT_NE(std::string::npos, m_err.str().find("\\xFF\\xFEnoise")) << m_err.str();
    EXPECT_EQ("", m_out.str());
}

// A port that starts a reply and never ends it, fast or slowly: the send ends with the
// reason, and the reply buffer stays within its bound whatever was sent.
TEST_F(CliSendTest, AReplyThatNeverEndsFailsWithTheReasonWithinItsBounds)
{
    const struct {
        CEndlessReplyServer::EPace pace;
        const char* reason;  // the number the reason names: the size or the time bound
    } cases[] = {{CEndlessReplyServer::EPace::FLOOD, "1024"},
                 {CEndlessReplyServer::EPace::TRICKLE, " 5 "},
                 {CEndlessReplyServer::EPace::NOISE, "1024"}};  // no reply at all, without end
    for (const auto& row : cases) {
        CEndlessReplyServer endless(row.pace, 100);
        ASSERT_FALSE(endless.Address().empty());
        EXPECT_EQ(CLI_NO_REPLY, Send("@QRYSYS", endless.Address()));
        const std::string reason(CHBDataStreamMnt::GetInstance().GetReadProblem().utf8_str());
        EXPECT_NE(std::string::npos, reason.find(row.reason)) << reason;
        EXPECT_NE(std::string::npos, m_err.str().find(endless.Address() + ": " + reason)) << m_err.str();
        EXPECT_LE(CHBDataStreamMnt::GetInstance().GetReceiveCapacity(), 4u * CExchangeFrame::kMostReplyBytes);
        CHBDataStreamMnt::ResetInstance();
    }
}

TEST_F(CliSendTest, APortThatCannotBeOpenedIsNamedWithItsReason)
{
    CPseudoTerminal busy;
    ASSERT_EQ(0, flock(busy.Slave(), LOCK_EX | LOCK_NB));  // as another program holding it
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {"/dev/no-such-port-here", "vostrel-cli: /dev/no-such-port-here does not exist\n"},
        {"/dev/null", "vostrel-cli: /dev/null is no serial port (not a terminal)\n"},
        {busy.Path(), "vostrel-cli: " + busy.Path() + " is busy: another program has it open"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(CLI_NO_SCANNER, Send("@232BAD*", row.path)) << row.path;
        EXPECT_NE(std::string::npos, m_err.str().find(row.reason)) << m_err.str();
        CHBDataStreamMnt::ResetInstance();
    }
}

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
}

TEST(CliDataFormatTest, BadTextsNamesAndCommandLinesAreRefusedWithAReason)
{
    const struct {
        std::vector<std::string> arguments;
        const char* reason;
    } cases[] = {
        {{"dataformat", "check", "F10"}, "is no valid rule text: rule 1 (F10) is cut short"},
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

TEST(LanguageOptionTest, IsTakenOutWhereverItStands)
{
    const struct {
        std::vector<std::string> arguments;
        bool ok;
        std::string language;
        std::vector<std::string> rest;
    } cases[] = {{{"--lang", "CN", "list"}, true, "CN", {"list"}},
                 {{"barcode", "--kind", "1d", "--lang", "EN"}, true, "EN", {"barcode", "--kind", "1d"}},
                 {{"list"}, true, "", {"list"}},
                 {{"list", "--lang"}, false, "", {}},
                 {{"--lang", "DE", "list"}, false, "", {}},
                 {{"--lang", "cn", "list"}, false, "", {}}};
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        std::string language;
        std::string error;
        EXPECT_EQ(c.ok, TakeLanguageOption(arguments, language, error)) << c.arguments.back() << error;
        if (c.ok) {
            EXPECT_EQ(c.language, language);
            EXPECT_EQ(c.rest, arguments);
        }
    }
}

// Sets the locale variables for one case and puts the old ones back.
class CLocaleScope {
public:
    CLocaleScope(const char* all, const char* messages, const char* lang)
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(value ? value : "", value != nullptr);
        }
        Set("LC_ALL", all);
        Set("LC_MESSAGES", messages);
        Set("LANG", lang);
    }
    ~CLocaleScope()
    {
        for (size_t i = 0; i < 3; ++i)
            Set(kNames[i], m_saved[i].second ? m_saved[i].first.c_str() : nullptr);
    }

private:
    static void Set(const char* name, const char* value)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<std::string, bool>> m_saved;
};

TEST(LanguageChoiceTest, TheOptionThenHbsIniThenTheLocaleDecide)
{
    const struct {
        const char* option;
        const char* ini;  // null: no hbs.ini
        const char* all;
        const char* messages;
        const char* lang;
        const char* expected;
    } cases[] = {{"EN", "CN", nullptr, nullptr, "zh_CN.UTF-8", "EN"},
                 {"", "CN", nullptr, nullptr, "en_GB.UTF-8", "CN"},
                 {"", "en", nullptr, nullptr, "zh_CN.UTF-8", "EN"},
                 // A language the program has no table for is no choice.
                 {"", "FR", nullptr, nullptr, "zh_CN.UTF-8", "CN"},
                 {"", nullptr, nullptr, nullptr, "zh_TW.UTF-8", "CN"},
                 {"", nullptr, "C", nullptr, "zh_CN.UTF-8", "EN"},
                 {"", nullptr, nullptr, "zh_CN.UTF-8", "en_US.UTF-8", "CN"},
                 {"", nullptr, "", nullptr, nullptr, "EN"}};
    for (const auto& c : cases) {
        CTempDir dir;
        if (c.ini)
            dir.Write("hbs.ini", std::string("[cfg]\nlang=") + c.ini + "\n");
        CLocaleScope locale(c.all, c.messages, c.lang);
        EXPECT_EQ(c.expected, ChooseCliLanguage(c.option, dir.File("hbs.ini")))
            << c.option << " " << (c.ini ? c.ini : "-") << " " << (c.lang ? c.lang : "-");
    }
}

}  // namespace
