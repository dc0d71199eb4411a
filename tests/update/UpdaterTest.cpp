// The updater program replacing a copy of a program folder with a signed archive from
// a loopback HTTPS server, and starting the old version again with the reason when
// anything is wrong.
#include "LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "update/updater/Updater.h"

#include <gtest/gtest.h>

#include <wx/filename.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include <sys/wait.h>

namespace {

// The old version notes how it was started, so the test sees the reason it was given.
const char kOldProgram[] = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/old-started.txt\"\nexit 0\n";
// The new version tells that it was started, then ends as it is told.
std::string NewProgram(int exitCode)
{
    return "#!/bin/sh\necho started > \"$(dirname \"$0\")/started.txt\"\nexit " + std::to_string(exitCode) + "\n";
}

int RunShell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const wxString& path)
{
    return "'" + std::string(path.utf8_str()) + "'";
}

enum class ESignature { Right, None, Tampered, OtherKey };

struct SUpdaterCase {
    const char* site;  // the case's folder on the server
    const char* why;
    ESignature signature;
    bool escapingEntry;    // the archive also holds "../evil.txt"
    bool redirected;       // the address answers with a redirect to the archive
    bool trustServer;      // the updater is given the server's certificate
    int newExitCode;
    int expectedExit;
    bool replaced;
    const char* reason;    // part of what the old version is told; null when it is not started again
};

// One server and one key pair for all cases (python takes seconds to start).
class UpdaterTest : public ::testing::TestWithParam<SUpdaterCase> {
protected:
    static void SetUpTestSuite()
    {
        s_keys = std::make_unique<CTempDir>();
        const std::string keys = Quoted(s_keys->Path());
        const int made = RunShell(
            "cd " + keys + " && openssl genpkey -algorithm ed25519 -out release.pem && "
            "openssl pkey -in release.pem -pubout -out release.pub && openssl genpkey -algorithm ed25519 -out other.pem && "
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=localhost "
            "-addext subjectAltName=DNS:localhost -keyout tls.key -out tls.crt 2>/dev/null");
        ASSERT_EQ(0, made);
        setenv("VOSTREL_UPDATE_TEST_KEY", s_keys->File("release.pub").utf8_str(), 1);
        s_siteFolder = std::make_unique<CTempDir>();
        s_server = std::make_unique<CLoopbackHttpServer>(std::string(s_siteFolder->Path().utf8_str()),
                                                         std::string(s_keys->File("tls.crt").utf8_str()),
                                                         std::string(s_keys->File("tls.key").utf8_str()));
    }
    static void TearDownTestSuite()
    {
        s_server.reset();
        s_siteFolder.reset();
        s_keys.reset();
    }

    std::string Path(const char* name) const { return Quoted(m_dir.File(name)); }
    static std::string Site() { return Quoted(s_siteFolder->File(GetParam().site)); }

    void MakeArchive(const SUpdaterCase& c) const
    {
        ASSERT_EQ(0, RunShell("mkdir -p " + Site() + " && cd " + Path("build") + " && python3 -m zipfile -c " + Site() +
                              "/new.zip vostrel Config"));
        if (c.escapingEntry) {
            ASSERT_EQ(0, RunShell("python3 -c \"import sys, zipfile; zipfile.ZipFile(sys.argv[1], 'a').writestr("
                                  "'../evil.txt', 'x')\" " + Site() + "/new.zip"));
        }
        if (c.signature == ESignature::None)
            return;
        const char* key = c.signature == ESignature::OtherKey ? "other.pem" : "release.pem";
        ASSERT_EQ(0, RunShell("openssl pkeyutl -sign -rawin -inkey " + Quoted(s_keys->File(key)) + " -in " + Site() +
                              "/new.zip -out " + Site() + "/new.zip.sig"));
        if (c.signature == ESignature::Tampered) {
            ASSERT_EQ(0, RunShell("python3 -c \"import sys, zipfile; zipfile.ZipFile(sys.argv[1], 'a').writestr("
                                  "'Config/extra.xml', 'x')\" " + Site() + "/new.zip"));
        }
    }

    // The old version is started by the updater and not waited for: its note is complete
    // once its one line has ended.
    std::string WaitForOldVersion() const
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string told;
        while ((told.empty() || told.back() != '\n') && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (wxFileName::FileExists(m_dir.File("app/old-started.txt")))
                told = m_dir.Read("app/old-started.txt");
        }
        return told;
    }

    CTempDir m_dir;
    static inline std::unique_ptr<CTempDir> s_keys;
    static inline std::unique_ptr<CTempDir> s_siteFolder;
    static inline std::unique_ptr<CLoopbackHttpServer> s_server;
};

TEST_P(UpdaterTest, ReplacesTheFolderOnlyWithASignedArchiveThatStartsElseBringsTheOldOneBack)
{
    const SUpdaterCase& c = GetParam();
    ASSERT_FALSE(s_server->Address().empty());
    m_dir.Write("app/vostrel", kOldProgram);
    m_dir.Write("app/Config/model.xml", "old");
    m_dir.Write("app/hbs.ini", "[cfg]\nlang=EN\n");
    m_dir.Write("build/vostrel", NewProgram(c.newExitCode));
    m_dir.Write("build/Config/model.xml", "new");
    ASSERT_EQ(0, RunShell("chmod +x " + Path("app/vostrel") + " " + Path("build/vostrel")));
    MakeArchive(c);

    const std::string address = s_server->Address() + (c.redirected ? "/moved/" : "/") + c.site + "/new.zip";
    const std::string trust = c.trustServer ? " -CAFILE " + Quoted(s_keys->File("tls.crt")) : "";
    const std::string command = std::string("'") + VOSTREL_UPDATER_PATH + "' -VER 1.0.0.0 -URL " + address +
                                " -AUTO -DIR " + Path("app") + " -WAIT 0" + trust + " 2>/dev/null";
    EXPECT_EQ(c.expectedExit, RunShell(command)) << c.why;

    EXPECT_EQ(c.replaced ? "new" : "old", m_dir.Read("app/Config/model.xml")) << c.why;
    EXPECT_EQ("[cfg]\nlang=EN\n", m_dir.Read("app/hbs.ini")) << c.why;
    EXPECT_EQ(c.newExitCode == 0 && c.replaced, wxFileName::FileExists(m_dir.File("app/started.txt"))) << c.why;
    EXPECT_TRUE(wxFileName::IsFileExecutable(m_dir.File("app/vostrel"))) << c.why;
    EXPECT_FALSE(wxFileName::Exists(m_dir.File("evil.txt"))) << c.why;
    for (const char* leftover : {"app.old", "app.new", "app.failed", "app.download.zip", "app.download.sig"})
        EXPECT_FALSE(wxFileName::Exists(m_dir.File(leftover))) << c.why << ": " << leftover;
    if (c.reason) {
        const std::string told = WaitForOldVersion();
        EXPECT_EQ(0u, told.find("-UpdateError ")) << c.why << ": " << told;
        EXPECT_NE(std::string::npos, told.find(c.reason)) << c.why << ": " << told;
    } else {
        EXPECT_FALSE(wxFileName::FileExists(m_dir.File("app/old-started.txt"))) << c.why;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Archives, UpdaterTest,
    ::testing::Values(
        SUpdaterCase{"a", "signed", ESignature::Right, false, false, true, 0, 0, true, nullptr},
        SUpdaterCase{"b", "signed, behind a redirect", ESignature::Right, false, true, true, 0, 0, true, nullptr},
        SUpdaterCase{"c", "unsigned", ESignature::None, false, false, true, 0, 2, false,
                     "new.zip.sig (the server answered HTTP 404)"},
        SUpdaterCase{"d", "changed after signing", ESignature::Tampered, false, false, true, 0, 3, false, "not valid"},
        SUpdaterCase{"e", "signed with another key", ESignature::OtherKey, false, false, true, 0, 3, false, "not valid"},
        SUpdaterCase{"f", "server certificate not trusted", ESignature::Right, false, false, false, 0, 2, false,
                     "cannot fetch"},
        SUpdaterCase{"g", "new version fails at start", ESignature::Right, false, false, true, 1, 5, false,
                     "did not start"},
        SUpdaterCase{"h", "entry outside the folder", ESignature::Right, true, false, true, 0, 4, false,
                     "does not unpack"}));

// An archive is unpacked only within its limits, checked on the sizes entries declare
// and on the bytes they give; the message names what was too large.
TEST(UnpackArchive, EntriesAndWholesBeyondTheLimitsAreRefusedWithTheReason)
{
    const SUnpackLimits limits{1000, 3000};
    const struct {
        const char* files;  // python: name -> size
        bool unpacked;
        const char* reason;
    } cases[] = {
        {"{'vostrel': 900, 'Config/a.xml': 900, 'Config/b.xml': 900}", true, ""},
        {"{'vostrel': 900, 'big.bin': 2000}", false, "big.bin unpacks to more than"},
        {"{'a': 900, 'b': 900, 'c': 900, 'd': 900}", false, "the archive unpacks to more than"},
    };
    for (const auto& c : cases) {
        CTempDir dir;
        const std::string archive = std::string(dir.File("a.zip").utf8_str());
        ASSERT_EQ(0, RunShell("python3 -c \"import zipfile; z = zipfile.ZipFile('" + archive +
                              "', 'w', zipfile.ZIP_DEFLATED); [z.writestr(n, bytes(s)) for n, s in " + c.files +
                              ".items()]\""));
        wxString why;
        EXPECT_EQ(c.unpacked, UnpackArchive(dir.File("a.zip"), dir.File("out"), why, limits)) << c.files;
        EXPECT_NE(std::string::npos, why.utf8_string().find(c.reason)) << why;
    }
}

}  // namespace
