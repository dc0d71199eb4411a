// Where the program keeps the user's files: the XDG folders, a stand-in when one
// cannot be made, the seeding of the settings and the data found from the executable.
#include "app/AppContext.h"
#include "app/UserFolders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <wx/filename.h>

#include <map>

namespace {

struct SResolveCase {
    const char* why;
    std::map<std::string, std::string> environment;
    const char* documents;  // what wxWidgets says the documents folder is
    SUserFolders expected;
};

TEST(UserFoldersTest, FollowTheXdgVariablesAndFallBackToTheHomeFolder)
{
    const SResolveCase cases[] = {
        {"defaults", {{"HOME", "/home/ann"}}, "/home/ann/Documents",
         {"/home/ann/.config/vostrel/", "/home/ann/.local/state/vostrel/", "/home/ann/.cache/vostrel/",
          "/home/ann/Documents/Vostrel/", "/home/ann"}},
        {"variables",
         {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/c"}, {"XDG_STATE_HOME", "/s/"}, {"XDG_CACHE_HOME", "/k"},
          {"XDG_DOCUMENTS_DIR", "/d"}},
         "/home/ann/Documents",
         {"/c/vostrel/", "/s//vostrel/", "/k/vostrel/", "/d/Vostrel/", "/home/ann"}},
        {"relative values are ignored", {{"HOME", "/h"}, {"XDG_CONFIG_HOME", "conf"}, {"XDG_DOCUMENTS_DIR", "docs"}}, "",
         {"/h/.config/vostrel/", "/h/.local/state/vostrel/", "/h/.cache/vostrel/", "/h/Vostrel/", "/h"}},
    };
    for (const SResolveCase& c : cases) {
        const auto lookup = [&c](const char* name) {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? wxString() : wxString(found->second);
        };
        const SUserFolders folders = ResolveUserFolders(lookup, c.documents);
        EXPECT_EQ(c.expected.config, folders.config) << c.why;
        EXPECT_EQ(c.expected.state, folders.state) << c.why;
        EXPECT_EQ(c.expected.cache, folders.cache) << c.why;
        EXPECT_EQ(c.expected.documents, folders.documents) << c.why;
    }
}

// A missing home folder or a path through a file must not stop the program: the
// folder gets a stand-in that works, and one message says which and why.
TEST(UserFoldersTest, AFolderThatCannotBeMadeGetsAWorkingStandInAndOneMessage)
{
    CTempDir dir;
    dir.Write("file", "x");
    struct SCase {
        const char* why;
        SUserFolders folders;
        const char* reason;
    };
    const SCase cases[] = {
        {"home missing",
         {dir.File("gone/.config/vostrel/"), dir.File("gone/.local/state/vostrel/"), dir.File("gone/.cache/vostrel/"), "",
          dir.File("gone")},
         "does not exist"},
        {"through a file", {dir.File("file/c/"), dir.File("ok/state/"), dir.File("ok/cache/"), "", dir.Path()}, ""},
    };
    for (const SCase& c : cases) {
        SUserFolders folders = c.folders;
        const SFolderProblem problem = PrepareUserFolders(folders);
        ASSERT_TRUE(problem.Happened()) << c.why;
        EXPECT_EQ(c.folders.config, problem.folder) << c.why;
        EXPECT_NE(wxNOT_FOUND, problem.reason.Find(c.reason)) << c.why << ": " << problem.reason;
        EXPECT_EQ(problem.standIn, folders.config) << c.why;
        EXPECT_TRUE(wxFileName::IsDirWritable(folders.config)) << c.why;
        EXPECT_TRUE(wxFileName::DirExists(folders.state)) << c.why;
        const wxString message = FolderProblemMessage(problem);
        EXPECT_NE(wxNOT_FOUND, message.Find(c.folders.config)) << message;
        EXPECT_NE(wxNOT_FOUND, message.Find(problem.standIn)) << message;
    }
    EXPECT_FALSE(wxFileName::DirExists(dir.File("gone"))) << "someone's home folder was made";

    SUserFolders fine{dir.File("a/"), dir.File("b/"), dir.File("c/"), "", dir.Path()};
    EXPECT_FALSE(PrepareUserFolders(fine).Happened());
    EXPECT_EQ(dir.File("a/"), fine.config);
}

TEST(UserFoldersTest, SeedingGivesMissingDefaultsAndKeepsTheUsersOwn)
{
    CTempDir data;
    CTempDir config;
    data.Write("ufcom.ini", "[Parameters]\nVcomBindMode=3\n");
    data.Write("Time.ini", "[Time]\ndelay=1\n");
    data.Write("notes.txt", "not a settings file");
    config.Write("Time.ini", "[Time]\ndelay=9\n");
    SeedUserSettings(data.Path(), config.Path());
    EXPECT_EQ("[Parameters]\nVcomBindMode=3\n", config.Read("ufcom.ini"));
    EXPECT_EQ("[Time]\ndelay=9\n", config.Read("Time.ini"));
    EXPECT_FALSE(wxFileName::FileExists(config.File("notes.txt")));
}

// The installed program writes nothing beside itself: every folder it writes to
// comes from the user's folders, and the data from ../share/vostrel.
TEST(UserFoldersTest, AnInstalledProgramReadsItsDataFromShareAndWritesOnlyToTheUsersFolders)
{
    CTempDir tree;
    tree.Write("usr/bin/vostrel", "");
    tree.Write("usr/share/vostrel/Config/language.xml", "<Languages/>");
    CAppContext& context = CAppContext::GetInstance();
    context.SetProgramDirectoryFromExecutable(tree.File("usr/bin/vostrel"));
    const wxString share = tree.File("usr/share/vostrel/");
    EXPECT_EQ(share + "Config/language.xml", context.GetFilePath("Config", "language.xml"));
    EXPECT_EQ(share + "lua", context.GetFolder("lua"));
    const SUserFolders& user = context.GetUserFolders();
    EXPECT_TRUE(context.GetSettingsFile("hbs.ini").StartsWith(user.config));
    EXPECT_TRUE(context.GetFolder("tmp").StartsWith(user.cache));
    EXPECT_TRUE(context.GetFolder("dump").StartsWith(user.state));
    EXPECT_TRUE(context.GetFolder("log").StartsWith(user.state));
    EXPECT_TRUE(context.GetFolder("AutoSave").StartsWith(user.documents));
    for (const wxString& folder : {user.config, user.state, user.cache, user.documents})
        EXPECT_FALSE(folder.StartsWith(tree.Path())) << folder;
    CAppContext::ResetInstance();
}

}  // namespace
