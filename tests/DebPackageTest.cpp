// The Debian package: dist/debian/build-deb makes it from the built tree into a
// folder of the test's own, and the package holds the game where Debian keeps
// games, declares the libraries the program links as its dependencies, carries
// the game's version, and the program unpacked from it finds its data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/InstallTestSupport.h"

namespace {

using namespace installtest;

const std::string kAppId = SPINDREL_APP_ID;
const fs::path kBuild = SPINDREL_BINARY_DIR;
const char* const kPackageTools[] = {"dpkg-deb", "dpkg-shlibdeps", "dpkg-gencontrol"};

// A path of the package (as dpkg-deb lists it, "./usr/...") and its mode and owner.
struct Entry {
    std::string mode;    // "-rwxr-xr-x"
    std::string owner;   // "root/root"
};

std::map<std::string, Entry> ListContents(const fs::path& deb)
{
    std::map<std::string, Entry> entries;
    std::istringstream lines(RunShell("dpkg-deb --contents " + Quoted(deb)).output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string mode, owner, size, date, time, path;
        if (fields >> mode >> owner >> size >> date >> time >> path) entries[path] = {mode, owner};
    }
    return entries;
}

std::string Field(const fs::path& deb, const std::string& name)
{
    std::string value = RunShell("dpkg-deb --field " + Quoted(deb) + " " + name).output;
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

class DebPackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        for (const char* tool : kPackageTools)
            if (!HasProgram(tool)) s_missing += std::string(" ") + tool;
        if (!s_missing.empty()) return;
        s_folder = std::make_unique<TempFolder>("spindrel-deb-test");
        // Quick compression: the test is about what the package holds.
        s_build = RunShell("CMAKE=" + Quoted(SPINDREL_CMAKE_COMMAND) + " SPINDREL_DEB_COMPRESSION='-Zgzip -z1' " +
                           Quoted(fs::path(SPINDREL_SOURCE_DIR) / "dist/debian/build-deb") + " " + Quoted(kBuild) +
                           " " + Quoted(s_folder->Path()) + " 2>/dev/null");
        // The package's path is the script's last line of output; tools it
        // runs may have warned before it (a sanitizer build's program does).
        std::istringstream lines(s_build.output);
        for (std::string line; std::getline(lines, line);)
            if (line.size() > 4 && line.compare(line.size() - 4, 4, ".deb") == 0) s_deb = line;
        s_root = s_folder->Path() / "root";
        if (s_build.exitCode == 0) s_unpack = RunShell("dpkg-deb --extract " + Quoted(s_deb) + " " + Quoted(s_root));
    }
    static void TearDownTestSuite() { s_folder.reset(); }
    void SetUp() override
    {
        if (!s_missing.empty()) GTEST_SKIP() << "no Debian packaging tools here, missing:" << s_missing;
        ASSERT_EQ(s_build.exitCode, 0) << s_build.output;
        ASSERT_EQ(s_unpack.exitCode, 0) << s_unpack.output;
    }

    static std::string s_missing;
    static std::unique_ptr<TempFolder> s_folder;
    static Outcome s_build;
    static Outcome s_unpack;
    static fs::path s_deb;
    static fs::path s_root;
};

std::string DebPackageTest::s_missing;
std::unique_ptr<TempFolder> DebPackageTest::s_folder;
Outcome DebPackageTest::s_build;
Outcome DebPackageTest::s_unpack;
fs::path DebPackageTest::s_deb;
fs::path DebPackageTest::s_root;

TEST_F(DebPackageTest, NamedAndVersionedAfterTheProgram)
{
    const std::string version = std::string(CommandLine::Version()) + "-1";
    EXPECT_EQ(s_deb.filename().string(), "spindrel_" + version + "_" + Field(s_deb, "Architecture") + ".deb");
    EXPECT_EQ(Field(s_deb, "Package"), "spindrel");
    EXPECT_EQ(Field(s_deb, "Version"), version);
    EXPECT_EQ(Field(s_deb, "Section"), "games");
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(s_folder->Path()), {}).size(), 2u)
        << "the package and the unpacked tree, nothing else";
    const std::string changelog =
        RunShell("zcat " + Quoted(s_root / "usr/share/doc/spindrel/changelog.Debian.gz")).output;
    EXPECT_EQ(changelog.rfind("spindrel (" + version + ") ", 0), 0u) << changelog;
    EXPECT_NE(Slurp(s_root / "usr/share/doc/spindrel/copyright").find("Upstream-Name: Spindrel"), std::string::npos);
}

TEST_F(DebPackageTest, HoldsTheGameWhereDebianKeepsGames)
{
    const std::map<std::string, Entry> entries = ListContents(s_deb);
    std::set<std::string> required = {
        "./usr/games/spindrel",
        "./usr/share/spindrel/X/stage_1.x",
        "./usr/share/applications/" + kAppId + ".desktop",
        "./usr/share/metainfo/" + kAppId + ".metainfo.xml",
        "./usr/share/man/man6/spindrel.6.gz",
        "./usr/share/doc/spindrel/copyright",
        "./usr/share/doc/spindrel/changelog.Debian.gz",
    };
    for (const char* size : {"32", "48", "64", "128", "256"})
        required.insert(std::string("./usr/share/icons/hicolor/") + size + "x" + size + "/apps/" + kAppId + ".png");
    for (const std::string& path : required) EXPECT_TRUE(entries.count(path)) << path;
    if (entries.count("./usr/games/spindrel")) {
        EXPECT_EQ(entries.at("./usr/games/spindrel").mode, "-rwxr-xr-x");
    }

    // The whole data set the build generated, and nothing of the build's own bookkeeping.
    const fs::path data = kBuild / "data";
    size_t dataFiles = 0;
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(data)) {
        if (!file.is_regular_file() || file.path().filename() == ".stamp") continue;
        ++dataFiles;
        const std::string packaged = "./usr/share/spindrel/" + fs::relative(file.path(), data).string();
        EXPECT_TRUE(entries.count(packaged)) << packaged;
    }
    EXPECT_GT(dataFiles, 50u);

    for (const auto& [path, entry] : entries) {
        EXPECT_TRUE(path == "./" || path.rfind("./usr/", 0) == 0) << path;
        EXPECT_EQ(path.rfind("./usr/bin/", 0), std::string::npos) << path;
        EXPECT_EQ(path.find(".stamp"), std::string::npos) << path;
        EXPECT_EQ(entry.owner, "root/root") << path;
        EXPECT_EQ(entry.mode.find('w', 3), std::string::npos) << path << " is writable by others";
    }
}

// The dependencies are those of the program's libraries, each a run-time
// package with the lowest version the binary needs.
TEST_F(DebPackageTest, DependsOnTheLibrariesTheProgramLinks)
{
    const std::string depends = Field(s_deb, "Depends");
    for (const char* library :
         {"libc6 (>= ", "libstdc++6 (>= ", "libsdl2-2.0-0 (>= ", "libode8 (>= ", "libmpg123-0 (>= ", "libgl1"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
    EXPECT_EQ(depends.find("-dev"), std::string::npos) << depends;
    EXPECT_EQ(depends.find("${"), std::string::npos) << depends;
    const std::string installedKiB = Field(s_deb, "Installed-Size");
    EXPECT_GT(std::strtoul(installedKiB.c_str(), nullptr, 10), 1000ul) << installedKiB;
}

TEST_F(DebPackageTest, UnpackedProgramFindsItsDataWithoutOptions)
{
    const std::string program = Quoted(s_root / "usr/games/spindrel");
    const Outcome version = RunShell(program + " --version");
    EXPECT_EQ(version.output, CommandLine::VersionText());
    // With no display the program stops at the window, after it found its data.
    const Outcome run = RunShell(std::string("cd / && ") + kNoDisplay + program + " --windowed");
    EXPECT_EQ(run.output.find("cannot find the game's data"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot open a window"), std::string::npos) << run.output;
}

}   // namespace
