// The update check against a real HTTP server on loopback.
#include "app/AppContext.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFiles.h"

#include "LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <wx/dir.h>

namespace {

std::string Description(const std::vector<std::pair<std::string, std::string>>& records)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VostrelUpdate>";
    for (const auto& [versionZip, url] : records)
        text += "<File><FileName>vostrel.zip</FileName><Version>1.0." + versionZip + ".0</Version><VersionZip>" +
                versionZip + "</VersionZip><Length>1234</Length><ZipFile>yes</ZipFile><URL>" + url +
                "</URL><Note>ignored</Note></File>";
    return text + "</VostrelUpdate>";
}

struct SCheckCase {
    int index;
    const char* why;
    const char* ownVersion;
    std::string description;  // empty: the server has none (404)
    const char* serverPath;   // appended to the server's address in "server.cfg"
    bool refused;             // "server.cfg" names a port nobody listens on
    bool newer;
    const char* address;
    const char* errorId;      // expected error text (English table not loaded: the built-in text)
};

// One server for all cases (python takes seconds to start); each case has its own folder on it.
class UpdateCheckTest : public ::testing::TestWithParam<SCheckCase> {
protected:
    static void SetUpTestSuite() { s_site = std::make_unique<SLoopbackSite>(); }
    static void TearDownTestSuite() { s_site.reset(); }
    void TearDown() override { CAppContext::ResetInstance(); }

    static std::string CaseFolder() { return "/case" + std::to_string(GetParam().index); }

    CTempDir m_program;
    static inline std::unique_ptr<SLoopbackSite> s_site;
};


TEST_P(UpdateCheckTest, ReportsANewerVersionOrWhyNotAndLeavesNoTemporaryFile)
{
    const SCheckCase& c = GetParam();
    ASSERT_FALSE(s_site->server.Address().empty());
    if (!c.description.empty())
        s_site->folder.Write(CaseFolder() + "/Vostrel/updateVostrel.xml", c.description);
    const std::string base =
        c.refused ? CLoopbackHttpServer::RefusingAddress() : s_site->server.Address() + c.serverPath + CaseFolder();
    m_program.Write("server.cfg", "[cfg]\nurl=" + base + "\n");
    CAppContext::GetInstance().SetProgramDirectory(m_program.Path());
    CAppContext::GetInstance().SetVersion(c.ownVersion);

    SUpdateCheckResult result;
    EXPECT_EQ(c.newer, CheckForUpdate(result, 1)) << c.why;
    EXPECT_EQ(c.address, result.address) << c.why;
    EXPECT_EQ(wxString::FromUTF8(c.errorId), result.errorText) << c.why;

    wxArrayString left;
    wxDir::GetAllFiles(m_program.Path() + "tmp", &left);
    EXPECT_TRUE(left.empty()) << c.why << ": " << (left.empty() ? wxString() : left.front());
    if (!c.refused) {
        EXPECT_NE(std::string::npos, s_site->folder.Read("requests.log").find(CaseFolder() + "/Vostrel/updateVostrel.xml Update_Vostrel"))
            << c.why;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, UpdateCheckTest,
    ::testing::Values(
        SCheckCase{1, "newer", "1.0.1.0", Description({{"10", "http://h/a.zip"}}), "", false, true, "http://h/a.zip", ""},
        SCheckCase{2, "9 sorts after 10", "1.0.9.0", Description({{"10", "http://h/a.zip"}}), "", false, false, "", ""},
        SCheckCase{3, "last newer wins", "1.0.1.0",
                   Description({{"2", "http://h/2.zip"}, {"0", "http://h/0.zip"}, {"3", "http://h/3.zip"}}), "", false,
                   true, "http://h/3.zip", ""},
        SCheckCase{4, "not a description", "1.0.1.0", "<html>offline</html>", "", false, false, "", ""},
        SCheckCase{5, "404", "1.0.1.0", "", "", false, false, "", "获取服务器信息失败!"},
        SCheckCase{6, "refused", "1.0.1.0", "", "", true, false, "", "无法连接更新服务器!"},
        SCheckCase{7, "stalls", "1.0.1.0", "", "/stall", false, false, "", "无法连接更新服务器!"}));

TEST(UpdateAddressTest, ServerCfgNamesTheServerWithoutOneThereIsNothingToAskAndOnlyAPortableCopyIsReplaced)
{
    CTempDir dir;
    EXPECT_EQ("", UpdateDescriptionAddress(dir.Path()));
    dir.Write("server.cfg", "[cfg]\nurl=\n");
    EXPECT_EQ("", UpdateDescriptionAddress(dir.Path()));
    dir.Write("server.cfg", "[cfg]\nurl=http://" + std::string(253, 'a') + "\n");
    EXPECT_EQ("", UpdateDescriptionAddress(dir.Path()));
    dir.Write("server.cfg", "[cfg]\nurl=https://" + std::string(251, 'a') + "\ncafile=/etc/own-ca.pem\n");
    EXPECT_EQ("https://" + std::string(251, 'a') + "/Vostrel/updateVostrel.xml", UpdateDescriptionAddress(dir.Path()));
    EXPECT_EQ("/etc/own-ca.pem", ReadUpdateSource(dir.File("server.cfg")).caFile);

    // The shipped default: the check says so and asks no server.
    CTempDir program;
    CAppContext::GetInstance().SetProgramDirectory(program.Path());
    SUpdateCheckResult result;
    EXPECT_FALSE(CheckForUpdate(result, 1));
    EXPECT_TRUE(result.noSource);
    EXPECT_EQ("", result.errorText);

    // Only a copy whose data lies beside its programs replaces itself; an installed one is
    // left to the package manager.
    CTempDir tree;
    tree.Write("portable/Config/devicesinfo.xml", "<Devices/>");
    tree.Write("usr/bin/vostrel", "");
    tree.Write("usr/share/vostrel/Config/devicesinfo.xml", "<Devices/>");
    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectoryFromExecutable(tree.File("portable/vostrel"));
    EXPECT_TRUE(CanReplaceOwnFiles());
    context.SetProgramDirectoryFromExecutable(tree.File("usr/bin/vostrel"));
    EXPECT_EQ(tree.File("usr/share/vostrel/"), context.GetDataDirectory());
    EXPECT_FALSE(CanReplaceOwnFiles());
    CAppContext::ResetInstance();
}

TEST(UpdateFilesTest, OwnNumberIsTheThirdOfTheFourAndAnEqualNumberIsNotNewer)
{
    EXPECT_EQ("12", OwnUpdateNumber("1.2.12.4"));
    EXPECT_EQ("0", OwnUpdateNumber("garbage"));
    CTempDir dir;
    dir.Write("d.xml", Description({{"5", "http://h/5.zip"}}));
    CUpdateFiles files;
    ASSERT_TRUE(files.Load(dir.File("d.xml")));
    ASSERT_EQ(1u, files.GetFiles().size());
    wxString address = "unchanged";
    EXPECT_EQ(0, files.CountNewer(address, "5"));
    EXPECT_EQ("unchanged", address);
}

}  // namespace
