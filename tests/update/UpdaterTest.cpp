// The updater program replacing a copy of a program folder with an archive from a
// loopback server.
#include "LoopbackHttpServer.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <wx/filename.h>

#include <cstdlib>
#include <string>

#include <sys/wait.h>

namespace {

const char kOldProgram[] = "#!/bin/sh\nexit 0\n";
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

struct SUpdaterCase {
    const char* site;  // the case's folder on the server
    const char* why;
    bool checksumRight;
    bool escapingEntry;  // the archive also holds "../evil.txt"
    int newExitCode;
    int expectedExit;
    bool replaced;
};

// One server for all cases (python takes seconds to start).
class UpdaterTest : public ::testing::TestWithParam<SUpdaterCase> {
protected:
    static void SetUpTestSuite() { s_site = std::make_unique<SLoopbackSite>(); }
    static void TearDownTestSuite() { s_site.reset(); }

    std::string Path(const char* name) const { return std::string(m_dir.File(name).utf8_str()); }
    static std::string SitePath() { return std::string(s_site->folder.File(GetParam().site).utf8_str()); }

    CTempDir m_dir;
    static inline std::unique_ptr<SLoopbackSite> s_site;
};


TEST_P(UpdaterTest, ReplacesTheFolderOnlyWithAVerifiedArchiveThatStarts)
{
    const SUpdaterCase& c = GetParam();
    m_dir.Write("app/vostrel", kOldProgram);
    m_dir.Write("app/Config/model.xml", "old");
    m_dir.Write("app/hbs.ini", "[cfg]\nlang=EN\n");
    m_dir.Write("build/vostrel", NewProgram(c.newExitCode));
    m_dir.Write("build/Config/model.xml", "new");
    s_site->folder.Write(wxString(c.site) + "/new.zip.sha256", std::string(64, '0') + "  new.zip\n");
    ASSERT_EQ(0, RunShell("chmod +x '" + Path("app/vostrel") + "' '" + Path("build/vostrel") + "'"));
    ASSERT_EQ(0, RunShell("cd '" + Path("build") + "' && python3 -m zipfile -c '" + SitePath() + "/new.zip' vostrel Config"));
    if (c.escapingEntry) {
        ASSERT_EQ(0, RunShell("python3 -c \"import sys, zipfile; zipfile.ZipFile(sys.argv[1], 'a').writestr('../evil.txt', "
                              "'x')\" '" + SitePath() + "/new.zip'"));
    }
    if (c.checksumRight) {
        ASSERT_EQ(0, RunShell("cd '" + SitePath() + "' && sha256sum new.zip > new.zip.sha256"));
    }

    ASSERT_FALSE(s_site->server.Address().empty());
    const std::string command = std::string("'") + VOSTREL_UPDATER_PATH + "' -VER 1.0.0.0 -URL " +
                                s_site->server.Address() + "/" + c.site + "/new.zip -AUTO -DIR '" + Path("app") + "' -WAIT 0 2>/dev/null";
    EXPECT_EQ(c.expectedExit, RunShell(command)) << c.why;

    EXPECT_EQ(c.replaced ? "new" : "old", m_dir.Read("app/Config/model.xml")) << c.why;
    EXPECT_EQ("[cfg]\nlang=EN\n", m_dir.Read("app/hbs.ini")) << c.why;
    EXPECT_EQ(c.replaced, wxFileName::FileExists(m_dir.File("app/started.txt"))) << c.why;
    EXPECT_TRUE(wxFileName::IsFileExecutable(m_dir.File("app/vostrel"))) << c.why;
    EXPECT_FALSE(wxFileName::Exists(m_dir.File("evil.txt"))) << c.why;
    for (const char* leftover : {"app.old", "app.new", "app.failed", "app.download.zip", "app.download.sha256"})
        EXPECT_FALSE(wxFileName::Exists(m_dir.File(leftover))) << c.why << ": " << leftover;
}

INSTANTIATE_TEST_SUITE_P(Archives, UpdaterTest,
                         ::testing::Values(SUpdaterCase{"a", "verified", true, false, 0, 0, true},
                                           SUpdaterCase{"b", "wrong checksum", false, false, 0, 3, false},
                                           SUpdaterCase{"c", "new version fails at start", true, false, 1, 5, false},
                                           SUpdaterCase{"d", "entry outside the folder", true, true, 0, 4, false}));

}  // namespace
