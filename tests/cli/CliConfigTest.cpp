// vostrel-cli's configuration commands against simulated scanners plugged in
// in-process: a scanner read into a file, compared with it and written from it; and
// its barcode sheets, also a CN one whose Chinese captions and headers reach the PDF
// as text.
#include "cli/CliCommands.h"
#include "demo/DemoScanner.h"
#include "support/NestedXml.h"

#include "barcode/DecodeSupport.h"
#include "support/CoreTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <wx/dir.h>
#include <wx/filename.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>

namespace {

class CliConfigTest : public CCoreTest {
protected:
    void SetUp() override
    {
        CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR);
        Plug("HBS-FM300");
    }
    void TearDown() override
    {
        for (uint32_t port : m_ports)
            DetachDemoScanner(port);
        CCoreTest::TearDown();
    }

    void Plug(const char* model, const char* productName = "")
    {
        wxString error;
        const uint32_t port = AttachDemoScanner(model, productName, 115200, error);
        ASSERT_NE(0u, port) << error;
        m_ports.push_back(port);
    }

    // Runs one command as vostrel-cli would, each with fresh engine state.
    int Run(const std::vector<std::string>& arguments)
    {
        CSaveCfg::ResetInstance();
        CHBDataStreamMnt::ResetInstance();
        SCliOptions options;
        std::string error;
        EXPECT_TRUE(ParseCliOptions(arguments, options, error)) << error;
        m_out.str("");
        m_err.str("");
        return RunCli(options, m_out, m_err);
    }

    std::string FilePath(const char* name) const { return std::string(m_dir.File(name).utf8_str()); }

    CTempDir m_dir;
    std::vector<uint32_t> m_ports;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(CliConfigTest, AScannerReadIntoAFileDiffersOnlyWhereTheFileWasEditedUntilItIsApplied)
{
    const std::string file = FilePath("fm300.xml");
    ASSERT_EQ(CLI_OK, Run({"read", file})) << m_err.str();
    EXPECT_TRUE(std::regex_search(m_out.str(), std::regex("\tHBS-FM300\t[0-9]+ settings saved to "))) << m_out.str();

    std::string content = m_dir.Read("fm300.xml");
    EXPECT_NE(std::string::npos, content.find("DeviceType=\"HBS-FM300\""));
    const std::regex mode("CommandName=\"SCNMOD\" Value=\"([0-9]+)\"");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(content, found, mode)) << "the scan mode is among the settings read";
    const std::string scannerMode = found[1];
    const std::string fileMode = scannerMode == "2" ? "4" : "2";
    content = std::regex_replace(content, mode, "CommandName=\"SCNMOD\" Value=\"" + fileMode + "\"");
    content.replace(content.find("</Vostrel>"), 0, " <Command CommandName=\"ZZZQQQ\" Value=\"1\"/>\n");
    m_dir.Write("fm300.xml", content);

    ASSERT_EQ(CLI_DIFFERENT, Run({"diff", file})) << m_err.str();
    EXPECT_EQ("SCNMOD\t" + fileMode + "\t" + scannerMode + "\nZZZQQQ\t1\t(not on this scanner)\n", m_out.str());

    // The unknown command refuses the file before anything is sent; with --force the
    // rest reaches the scanner, which refuses the unknown one by name.
    EXPECT_EQ(CLI_REFUSED, Run({"apply", file}));
    EXPECT_NE(std::string::npos, m_out.str().find("failed: the file holds settings this scanner does not take: ZZZQQQ"))
        << m_out.str();
    ASSERT_EQ(CLI_DIFFERENT, Run({"diff", file}));
    EXPECT_EQ("SCNMOD\t" + fileMode + "\t" + scannerMode + "\nZZZQQQ\t1\t(not on this scanner)\n", m_out.str());
    EXPECT_EQ(CLI_REFUSED, Run({"apply", "--force", file}));
    EXPECT_NE(std::string::npos, m_out.str().find("failed: refused ZZZQQQ; 1 of 2 settings taken")) << m_out.str();
    ASSERT_EQ(CLI_DIFFERENT, Run({"diff", file}));
    EXPECT_EQ("ZZZQQQ\t1\t(not on this scanner)\n", m_out.str());
}

TEST_F(CliConfigTest, ABarcodeSheetOfAFilesChangedSettingsDecodesToThemBetweenTheSetupCodes)
{
    const std::string file = FilePath("fm300.xml");
    ASSERT_EQ(CLI_OK, Run({"read", file})) << m_err.str();
    // The simulated scanner holds the model's defaults: only the edited setting is changed.
    std::string content = m_dir.Read("fm300.xml");
    const std::regex volume("CommandName=\"BEPLVL\" Value=\"([0-9]+)\"");
    std::smatch found;
    ASSERT_TRUE(std::regex_search(content, found, volume));
    const std::string newVolume = found[1] == "1" ? "2" : "1";
    m_dir.Write("fm300.xml", std::regex_replace(content, volume, "CommandName=\"BEPLVL\" Value=\"" + newVolume + "\""));

    const std::string png = FilePath("sheet.png");
    ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "1d", "--model", "HBS-FM300", "--file", file, "--changed",
                           "--output", png})) << m_err.str();
    EXPECT_EQ(png + "\t3 barcodes\n", m_out.str());
    std::vector<std::string> decoded = DecodeFile(png, EDecoder::Zbar);
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ((std::vector<std::string>{"@BEPLVL" + newVolume, "@SETUPE0", "@SETUPE1"}), decoded);

    // ZXing looks for a Data Matrix where a scanner is aimed: the square of 128
    // points below the header, with a margin.
    const std::string pdf = FilePath("all.pdf");
    ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "all", "--model", "HBS-FM300", "--commands", "232BAD1;BEPLVL2",
                           "--output", pdf})) << m_err.str();
    RunCommand("pdftoppm -r 150 -gray -png -singlefile -x 423 -y 283 -W 350 -H 350 " + pdf + " " + FilePath("all"));
    EXPECT_EQ((std::vector<std::string>{"@232BAD1;BEPLVL2;"}), DecodeFile(FilePath("all.png"), EDecoder::ZXing));
    EXPECT_EQ(CLI_NO_SCANNER, Run({"barcode", "--model", "NOSUCH", "--commands", "232BAD1", "--output", png}));
}

// The batch sheet is framed by readable setup codes as the program's page frames it;
// settings that one symbol cannot hold are refused unless split; linear codes take
// their bars from barcode.xml as the program's linear page does.
TEST_F(CliConfigTest, BatchSheetsAreFramedAndSplitOnlyWhenAskedAndLinearOnesFollowBarcodeXml)
{
    const std::string png = FilePath("sheet.png");
    ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "2d", "--model", "HBS-FM300", "--commands", "232BAD1", "--output", png}))
        << m_err.str();
    std::vector<std::string> decoded = DecodeFile(png, EDecoder::Zbar);
    std::sort(decoded.begin(), decoded.end());
    decoded.erase(std::unique(decoded.begin(), decoded.end()), decoded.end());
    EXPECT_EQ((std::vector<std::string>{"@SETUPE0", "@SETUPE1"}), decoded);

    std::string clone;
    for (int i = 0; i < 330; ++i)
        clone += "BEP" + std::to_string(100 + i) + std::to_string(i % 10) + ";";
    for (const char* kind : {"2d", "all"}) {
        const std::vector<std::string> sheet = {"barcode", "--kind", kind, "--model", "HBS-FM300", "--commands", clone,
                                                "--output", png};
        EXPECT_EQ(CLI_USAGE, Run(sheet)) << kind;
        EXPECT_TRUE(std::regex_search(m_err.str(), std::regex("--split [^0-9]*2"))) << m_err.str();
        std::vector<std::string> split = sheet;
        split.push_back("--split");
        ASSERT_EQ(CLI_OK, Run(split)) << m_err.str();
        EXPECT_EQ(png + "\t2 barcodes\n", m_out.str());
    }

    // A program folder of its own whose barcode.xml halves the module width.
    const std::string program = FilePath("program");
    RunCommand("cp -r " VOSTREL_DATA_DIR " " + program);
    const std::string layout = program + "/Config/barcode.xml";
    RunCommand("sed -i 's|<D1Width>6<|<D1Width>3<|' " + layout);
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    std::string pictures[2];
    for (std::string& picture : pictures) {
        ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "1d", "--model", "HBS-FM300", "--commands", "BEPLVL2", "--output",
                               png})) << m_err.str();
        picture = m_dir.Read("sheet.png");
        CAppContext::GetInstance().SetProgramDirectory(wxString::FromUTF8(program));
    }
    unsetenv("SOURCE_DATE_EPOCH");
    CAppContext::GetInstance().SetProgramDirectory(VOSTREL_DATA_DIR);
    EXPECT_NE(pictures[0], pictures[1]) << "the narrower bars of barcode.xml";
    decoded = DecodeFile(png, EDecoder::Zbar);
    EXPECT_NE(decoded.end(), std::find(decoded.begin(), decoded.end(), "@BEPLVL2"));
}

TEST_F(CliConfigTest, ApplyingToEveryScannerSkipsOtherModelsUnlessForced)
{
    Plug("HBS-EM20");
    // Only the scan mode goes out: the file's link settings are held back.
    m_dir.Write("beeper.xml", "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"SCNMOD\" Value=\"2\"/>"
                              "<Command CommandName=\"INTERF\" Value=\"1\"/><Command CommandName=\"232PAR\" Value=\"0\"/>"
                              "</Vostrel>");
    EXPECT_EQ(CLI_REFUSED, Run({"apply", "--all", FilePath("beeper.xml")}));
    const std::string lines = m_out.str();
    EXPECT_NE(std::string::npos, lines.find("HBS-FM300\tchanged: 1 setting sent\n")) << lines;
    EXPECT_NE(std::string::npos, lines.find("HBS-EM20\tskipped: the file is for HBS-FM300")) << lines;

    // Run again, the scanner that took the file already holds it and is not written to.
    EXPECT_EQ(CLI_OK, Run({"apply", "--all", "--force", FilePath("beeper.xml")})) << m_out.str();
    EXPECT_NE(std::string::npos, m_out.str().find("HBS-EM20\tchanged: 1 setting sent\n")) << m_out.str();
    EXPECT_NE(std::string::npos, m_out.str().find("HBS-FM300\tunchanged: the scanner holds every setting of the file\n"))
        << m_out.str();
}

TEST_F(CliConfigTest, FilesThatCannotBeReadOrWrittenAreNamed)
{
    const struct {
        const char* name;
        std::string content;
        const char* reason;
    } unreadable[] = {{"broken.xml", "<Vostrel><Command", "it is no well-formed XML"},
                      {"garbage.xml", std::string("\x89PNG\r\n\x1a\n\0\xff\xfe garbage", 18), "it is no well-formed XML"},
                      {"page.xml", "<html><body/></html>", "its first element <html> is not <Vostrel>"}};
    for (const auto& file : unreadable) {
        m_dir.Write(file.name, file.content);
        for (const char* command : {"apply", "diff"}) {
            EXPECT_EQ(CLI_BAD_FILE, Run({command, FilePath(file.name)})) << command << " " << file.name;
            EXPECT_NE(std::string::npos, m_err.str().find(std::string(file.name) + " is no configuration file that can be read: " +
                                                          file.reason))
                << m_err.str();
            EXPECT_EQ("", m_out.str());
        }
    }
    EXPECT_EQ(CLI_BAD_FILE, Run({"diff", FilePath("absent.xml")}));
    EXPECT_EQ("", m_out.str());

    m_dir.Write("plain", "a file, not a folder");
    EXPECT_EQ(CLI_BAD_FILE, Run({"read", FilePath("plain") + "/fm300.xml"}));
    EXPECT_NE(std::string::npos, m_err.str().find("cannot write")) << m_err.str();
    EXPECT_EQ("a file, not a folder", m_dir.Read("plain"));
}

TEST_F(CliConfigTest, AFileReadFromAScannerSendsNoActionBackToIt)
{
    Plug("HBS-HI880");
    char port[64] = {};
    ASSERT_TRUE(hbds_serial_port_path(m_ports.back(), port, sizeof port));
    const std::string file = FilePath("hi880.xml");
    ASSERT_EQ(CLI_OK, Run({"read", "--port", port, "--baud", "115200", file})) << m_err.str();
    EXPECT_EQ(CLI_OK, Run({"apply", "--port", port, "--baud", "115200", file})) << m_out.str();
    EXPECT_NE(std::string::npos, m_out.str().find("\tunchanged: ")) << m_out.str();

    // What the file would send to a scanner holding none of its values.
    CSaveCfg& engine = CSaveCfg::GetInstance();
    ASSERT_TRUE(engine.LoadFileForSending(wxString::FromUTF8(file)));
    const std::vector<wxString> texts = engine.FileCommandsToSend(nullptr);
    // Clearing or restoring data formats, code IDs and defaults would undo the file.
    const std::set<std::string> actions = {"DFMCAL", "DFMDEF", "CIDDEF", "CUSSAV", "CUSDEF",
                                           "FACDEF", "DLPCLR", "IMGSNP", "BEPTST"};
    for (const wxString& text : texts)
        EXPECT_EQ(0u, actions.count(std::string(text.Left(6).utf8_str()))) << text;
    EXPECT_GT(texts.size(), 100u);
}

TEST_F(CliConfigTest, AMissingCatalogueOrPageListIsNamedAndNoFileIsWritten)
{
    m_dir.Write("in.xml", "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"SCNMOD\" Value=\"2\"/></Vostrel>");
    const struct {
        const char* brokenFile;
        const char* content;
        const char* command;
        int exitCode;
        std::string message;
    } cases[] = {
        {"Config/devicesinfo.xml", "<Devices/>", "read", CLI_NO_SCANNER, "holds no scanner model to match HBS-FM300"},
        {"Config/devicesinfo.xml", "<Devices/>", "apply", CLI_REFUSED, "HBS-FM300\tskipped: the catalogue "},
        {"Config/pageinfo.xml", "<Pages/>", "read", CLI_BAD_FILE, "no settings pages to read"},
    };
    for (const auto& row : cases) {
        CTempDir program;
        program.CopyShippedData();
        program.Write(row.brokenFile, row.content);
        CAppContext::GetInstance().SetProgramDirectory(program.Path());
        CDeviceMnt::ResetInstance();
        const bool reading = std::string(row.command) == "read";
        EXPECT_EQ(row.exitCode, Run({row.command, FilePath(reading ? "out.xml" : "in.xml")})) << row.command;
        EXPECT_NE(std::string::npos, (m_out.str() + m_err.str()).find(row.message)) << m_out.str() << m_err.str();
        EXPECT_FALSE(wxFileName::FileExists(m_dir.File("out.xml")));
    }
}

std::string OneSetting(const std::string& name, const std::string& value)
{
    return "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"" + name + "\" Value=\"" + value + "\"/></Vostrel>";
}

// diff, apply and inventory --against ask one comparison, so a file they doubt gets
// one verdict from all three; apply judges the file whole before sending anything,
// and a second apply of a file it took settles at "unchanged".
TEST_F(CliConfigTest, DiffApplyAndInventoryGiveOneVerdictOnADoubtfulFile)
{
    const struct {
        const char* name;
        std::string content;
        int diffExit;
        int applyExit;
        std::vector<std::string> applied;  // parts of apply's line
        int inventoryExit;
    } cases[] = {
        {"values no scanner takes",
         "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"BEPLVL\" Value=\"2;232BAD0\"/>"
         "<Command CommandName=\"SCNMOD\" Value=\"" + std::string(100000, '1') + "\"/>"
         "<Command CommandName=\"BEPENA\" Value=\"1\"/><Command CommandName=\"BEPENA\" Value=\"0\"/></Vostrel>",
         CLI_DIFFERENT, CLI_REFUSED,
         {"failed: the file holds settings this scanner does not take: BEPLVL (a value holding ';'",
          "SCNMOD (a value of 100000 characters", "BEPENA (given 2 times with different values)", "nothing sent"},
         CLI_DIFFERENT},
        {"empty value and a query",
         "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"BEPLVL\" Value=\"\"/>"
         "<Command CommandName=\"SYSHRS\" Value=\"5\"/></Vostrel>",
         CLI_OK, CLI_OK,
         {"unchanged: the scanner holds every setting of the file; note: ", "BEPLVL (left out: no value)",
          "SYSHRS (left out: no setting but a query"},
         CLI_OK},
        {"nested 200000 deep", "<Vostrel DeviceType=\"HBS-FM300\">" + Nested(200000) + "</Vostrel>", CLI_BAD_FILE,
         CLI_BAD_FILE, {"nests deeper than 64 elements"}, CLI_BAD_FILE},
        // A separator in a name, or in any value that is no data-format text, would
        // carry a setting the file does not show.
        {"settings hidden in a name and a DFM value",
         "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"SCNMOD;BEPLVL\" Value=\"2\"/>"
         "<Command CommandName=\"DFMZZZ\" Value=\"1;BEPLVL2\"/><Command CommandName=\"beplvl\" Value=\"2\"/></Vostrel>",
         CLI_DIFFERENT, CLI_REFUSED,
         {"SCNMOD;BEPLVL (a name that is not six capital letters or digits)", "DFMZZZ (a value holding ';'",
          "beplvl (a name", "nothing sent"},
         CLI_DIFFERENT},
        {"queries set nothing",
         "<Vostrel DeviceType=\"HBS-FM300\"><Command CommandName=\"BEPLVL\" Value=\"*\"/>"
         "<Command CommandName=\"SCNMOD\" Value=\"&amp;\"/></Vostrel>",
         CLI_OK, CLI_OK, {"unchanged", "BEPLVL (left out: a query", "SCNMOD (left out: a query"}, CLI_OK},
        {"a file for another model", "<Vostrel DeviceType=\"HBS-HS620\"><Command CommandName=\"BEPLVL\" Value=\"1\"/></Vostrel>", CLI_REFUSED, CLI_REFUSED,
         {"skipped: the file is for HBS-HS620, this scanner is HBS-FM300 (--force sends it anyway)"}, CLI_REFUSED},
        {"a file without a model", "<Vostrel><Command CommandName=\"BEPLVL\" Value=\"1\"/></Vostrel>", CLI_REFUSED,
         CLI_REFUSED, {"skipped: the file names no scanner model"}, CLI_REFUSED},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        m_dir.Write("doubt.xml", row.content);
        const std::string file = FilePath("doubt.xml");
        EXPECT_EQ(row.diffExit, Run({"diff", file})) << m_err.str();
        // A file that was taken is taken again as "unchanged": it settles.
        for (int run = 0; run < (row.applyExit == CLI_OK ? 2 : 1); ++run) {
            EXPECT_EQ(row.applyExit, Run({"apply", file})) << m_out.str() << m_err.str();
            for (const std::string& part : row.applied)
                EXPECT_NE(std::string::npos, (m_out.str() + m_err.str()).find(part)) << m_out.str() << m_err.str();
        }
        EXPECT_EQ(row.inventoryExit, Run({"inventory", "--against", file})) << m_err.str();
    }
}

TEST_F(CliConfigTest, ReadWritesARegularFileOrALinksTargetAndRefusesEverythingElse)
{
    m_dir.Write("target.xml", "old");
    m_dir.Write("kept.xml", "kept");
    const std::string kept = FilePath("kept.xml");
    chmod(kept.c_str(), 0444);
    ASSERT_EQ(0, symlink("target.xml", FilePath("link.xml").c_str()));
    ASSERT_EQ(0, mkfifo(FilePath("pipe").c_str(), 0600));
    const struct {
        std::string path;
        int exitCode;
        const char* message;
    } cases[] = {{"/dev/null", CLI_BAD_FILE, "/dev/null is a device"},
                 {FilePath("pipe"), CLI_BAD_FILE, "is a FIFO"},
                 {kept, CLI_BAD_FILE, "kept.xml is read-only; it is kept"},
                 {FilePath("link.xml"), CLI_OK, "settings saved to"}};
    for (const auto& row : cases) {
        EXPECT_EQ(row.exitCode, Run({"read", row.path})) << row.path;
        EXPECT_NE(std::string::npos, (m_out.str() + m_err.str()).find(row.message)) << m_out.str() << m_err.str();
    }
    EXPECT_EQ("kept", m_dir.Read("kept.xml"));
    struct stat status {};
    ASSERT_EQ(0, lstat(FilePath("link.xml").c_str(), &status));
    EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link stays a link";
    EXPECT_NE(std::string::npos, m_dir.Read("target.xml").find("DeviceType=\"HBS-FM300\""));
}

TEST_F(CliConfigTest, ABarcodeSheetNeverOverwritesItsInputNorLeavesAnythingBehind)
{
    m_dir.Write("cfg.pdf", OneSetting("BEPLVL", "2"));
    ASSERT_EQ(0, mkdir(FilePath("folder.png").c_str(), 0700));
    // The all-in-one symbol's working files go to TMPDIR: here, where they can be seen.
    const char* oldTemp = std::getenv("TMPDIR");
    const std::string savedTemp = oldTemp ? oldTemp : "";
    setenv("TMPDIR", m_dir.Path().fn_str(), 1);
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--model", "HBS-FM300", "--file", FilePath("cfg.pdf"), "--output", FilePath("cfg.pdf")}, CLI_USAGE,
         "is the --file itself"},
        {{"--model", "HBS-HI880", "--file", FilePath("cfg.pdf"), "--output", FilePath("out.pdf")}, CLI_USAGE,
         "is for HBS-FM300, not HBS-HI880 (--force"},
        {{"--model", "HBS-FM300", "--kind", "all", "--commands", "BEPLVL1", "--output", FilePath("folder.png")},
         CLI_BAD_FILE, "is a folder"},
        {{"--model", "HBS-FM300", "--commands", "BEPLVL1", "--output", FilePath("absent/out.pdf")}, CLI_BAD_FILE,
         "cannot write"},
    };
    for (const auto& row : cases) {
        std::vector<std::string> arguments = {"barcode"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        EXPECT_EQ(row.exitCode, Run(arguments)) << m_err.str();
        EXPECT_NE(std::string::npos, m_err.str().find(row.message)) << m_err.str();
    }
    ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "all", "--model", "HBS-FM300", "--commands", "BEPLVL1", "--output",
                           FilePath("done.png")})) << m_err.str();
    savedTemp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", savedTemp.c_str(), 1);
    EXPECT_EQ(OneSetting("BEPLVL", "2"), m_dir.Read("cfg.pdf"));
    wxArrayString left;
    wxDir::GetAllFiles(m_dir.Path(), &left, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
    left.Sort();
    EXPECT_EQ((std::vector<wxString>{m_dir.File("cfg.pdf"), m_dir.File("done.png")}),
              std::vector<wxString>(left.begin(), left.end()));
}

TEST_F(CliConfigTest, NamesWithTabsOrLineBreaksStayInTheirColumn)
{
    Plug("HBS-HI880", "A\tB\nC");
    ASSERT_EQ(CLI_OK, Run({"list"})) << m_err.str();
    EXPECT_NE(std::string::npos, m_out.str().find("\tA\\x09B\\x0AC\t")) << m_out.str();
}

TEST_F(CliConfigTest, ACnSheetHoldsItsChineseTextAsText)
{
    // The barcode command as vostrel-cli runs it after choosing CN.
    ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageList());
    ASSERT_TRUE(CLanguageXmlInfo::GetInstance().LoadLanguageTexts("CN"));
    const std::string pdf = FilePath("s.pdf");
    ASSERT_EQ(CLI_OK, Run({"barcode", "--kind", "1d", "--model", "HBS-HI880", "--commands", "232BAD1;BEPLVL2", "--output",
                           pdf})) << m_err.str();
    EXPECT_EQ(pdf + "\t4 " + std::string(GetUiText("ID_CLI_BARCODE_COUNT", "").utf8_str()) + "\n", m_out.str());
    const std::string text = RunCommand("pdftotext " + pdf + " - 2>&1");
    for (const char* expected : {"波特率", "标题", "产品： HBS-HI880", "@232BAD1"})
        EXPECT_NE(std::string::npos, text.find(expected)) << expected << " in\n" << text;
    EXPECT_EQ(std::string::npos, text.find("Error")) << text;
}

}  // namespace
