// The installed game: CMake's install puts the program, the data, the desktop
// entry, the metainfo, the manual page and the icons where a Linux desktop
// looks for them, and the installed program finds its data from any folder.
// The install goes through its own component so that the build's record of a
// real install is left alone; make install and make uninstall keep their
// record elsewhere when the test runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "tests/InstallTestSupport.h"

namespace {

using namespace installtest;

const std::string kAppId = SPINDREL_APP_ID;

// Width and height from a PNG file's header chunk.
bool PngSize(const fs::path& file, uint32_t* width, uint32_t* height)
{
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    if (header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return false;
    auto big = [&](int at) {
        return uint32_t{header[at]} << 24 | uint32_t{header[at + 1]} << 16 | uint32_t{header[at + 2]} << 8 |
               header[at + 3];
    };
    *width = big(16);
    *height = big(20);
    return true;
}

const std::regex kLongOption(R"(--[a-z][a-z-]*)");

// The long options of --help: the first word of each indented line that starts with one.
std::set<std::string> HelpOptions(const std::string& help)
{
    std::set<std::string> options;
    std::istringstream lines(help);
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("  --", 0) == 0 && std::regex_search(line, match, kLongOption)) options.insert(match.str());
    return options;
}

// The long options of the manual page: the item lines of its OPTIONS section.
std::set<std::string> ManualOptions(const std::string& manual)
{
    std::set<std::string> options;
    std::istringstream lines(std::regex_replace(manual, std::regex(R"(\\-)"), "-"));
    bool inOptions = false;
    bool itemLine = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(".SH", 0) == 0) inOptions = line == ".SH OPTIONS";
        if (inOptions && itemLine)
            for (std::sregex_iterator it(line.begin(), line.end(), kLongOption), end; it != end; ++it)
                options.insert(it->str());
        itemLine = line == ".TP";
    }
    return options;
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/spindrel-install-XXXXXX";
        if (!mkdtemp(pattern)) return;
        s_prefix = pattern;
        s_install = RunShell(std::string("'") + SPINDREL_CMAKE_COMMAND + "' --install '" + SPINDREL_BINARY_DIR +
                             "' --component Unspecified --prefix '" + s_prefix.string() + "'");
    }
    static void TearDownTestSuite()
    {
        std::error_code ec;
        if (!s_prefix.empty()) fs::remove_all(s_prefix, ec);
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_prefix.empty());
        ASSERT_EQ(s_install.exitCode, 0) << s_install.output;
    }

    static fs::path s_prefix;
    static Outcome s_install;
};

fs::path InstallTest::s_prefix;
Outcome InstallTest::s_install;

TEST_F(InstallTest, EverythingLandsInTheDesktopsPlaces)
{
    const fs::path p = s_prefix;
    EXPECT_TRUE(fs::is_regular_file(p / "bin/spindrel"));
    EXPECT_TRUE(fs::status(p / "bin/spindrel").permissions() != fs::perms::none);
    EXPECT_TRUE(fs::is_regular_file(p / "share/spindrel/X/stage_1.x"));
    EXPECT_TRUE(fs::is_regular_file(p / "share/spindrel/texture/Interface.png"));
    EXPECT_FALSE(fs::exists(p / "share/spindrel/.stamp"));   // build bookkeeping stays behind
    EXPECT_TRUE(fs::is_regular_file(p / "share/applications" / (kAppId + ".desktop")));
    EXPECT_TRUE(fs::is_regular_file(p / "share/metainfo" / (kAppId + ".metainfo.xml")));
    EXPECT_TRUE(fs::is_regular_file(p / "share/man/man6/spindrel.6"));
}

TEST_F(InstallTest, IconsAtTheUsualSizesAreSquarePngsOfThatSize)
{
    for (uint32_t size : {32u, 48u, 64u, 128u, 256u}) {
        const std::string edge = std::to_string(size);
        const fs::path icon = s_prefix / "share/icons/hicolor" / (edge + "x" + edge) / "apps" / (kAppId + ".png");
        uint32_t w = 0, h = 0;
        ASSERT_TRUE(PngSize(icon, &w, &h)) << icon;
        EXPECT_EQ(w, size) << icon;
        EXPECT_EQ(h, size) << icon;
    }
}

TEST_F(InstallTest, DesktopEntryMetainfoAndManualAgreeOnNames)
{
    const std::string desktop = Slurp(s_prefix / "share/applications" / (kAppId + ".desktop"));
    EXPECT_NE(desktop.find("\nExec=spindrel\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nIcon=" + kAppId + "\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nStartupWMClass=spindrel\n"), std::string::npos);   // the window's class
    const std::string metainfo = Slurp(s_prefix / "share/metainfo" / (kAppId + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find(">" + kAppId + ".desktop</launchable>"), std::string::npos);
    const std::string version(CommandLine::Version());
    EXPECT_NE(metainfo.find("<release version=\"" + version + "\""), std::string::npos) << version;
    const std::string manual = Slurp(s_prefix / "share/man/man6/spindrel.6");
    EXPECT_EQ(manual.rfind(".TH SPINDREL 6 ", 0), 0u);
    EXPECT_NE(manual.find("\"Spindrel " + version + "\""), std::string::npos) << version;
    EXPECT_NE(manual.find("SPINDREL_DATA"), std::string::npos);
}

TEST_F(InstallTest, ManualListsExactlyTheOptionsOfHelp)
{
    const Outcome help = RunShell(Quoted(s_prefix / "bin/spindrel") + " --help");
    ASSERT_EQ(help.exitCode, 0) << help.output;
    const std::set<std::string> helpOptions = HelpOptions(help.output);
    EXPECT_GE(helpOptions.size(), 7u) << help.output;
    EXPECT_EQ(ManualOptions(Slurp(s_prefix / "share/man/man6/spindrel.6")), helpOptions);
}

TEST_F(InstallTest, InstalledProgramFindsItsDataFromAnyFolder)
{
    // With no display the program stops at the window, after it found its data.
    const std::string program = Quoted(s_prefix / "bin/spindrel");
    const std::string env = kNoDisplay;
    Outcome run = RunShell("cd / && " + env + program + " --windowed");
    EXPECT_EQ(run.output.find("cannot find the game's data"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot open a window"), std::string::npos) << run.output;

    // Without its data beside it, it says where it looked and fails.
    fs::rename(s_prefix / "share/spindrel", s_prefix / "share/spindrel-moved");
    Outcome lost = RunShell("cd / && " + env + program);
    fs::rename(s_prefix / "share/spindrel-moved", s_prefix / "share/spindrel");
    EXPECT_NE(lost.exitCode, 0);
    EXPECT_NE(lost.output.find("cannot find the game's data"), std::string::npos) << lost.output;
    EXPECT_NE(lost.output.find((s_prefix / "share/spindrel").string()), std::string::npos) << lost.output;
    EXPECT_NE(lost.output.find((s_prefix / "bin/data").string()), std::string::npos) << lost.output;
}

// make install into a prefix, then make uninstall: every file and every folder
// the install made goes, the prefix and its parents too when the install made
// them, and whatever was there before stays. make runs on the build as it is,
// with its record of the install in a folder of the test's own.
TEST(MakeUninstallTest, RemovesWhatTheInstallMadeAndNothingElse)
{
    struct Case {
        const char* name;
        const char* prefix;                        // under the test's folder
        std::vector<const char*> existingBefore;   // folders made before the install
    };
    const Case cases[] = {
        {"a prefix the install makes, with its parents", "made/by/install", {}},
        {"a prefix that was there, with folders of its own", "home", {"home/share/applications", "home/bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder top("spindrel-uninstall");
        ASSERT_FALSE(top.Path().empty());
        const fs::path work = top.Path() / "tree";
        const fs::path record = top.Path() / "record";
        for (const char* folder : c.existingBefore) fs::create_directories(work / folder);
        fs::create_directories(work);
        std::ofstream(work / "keep.txt") << "not the game's\n";

        const std::string make = std::string("env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -s -C ") +
                                 Quoted(SPINDREL_SOURCE_DIR) + " BUILD=" + Quoted(SPINDREL_BINARY_DIR) +
                                 " PREFIX=" + Quoted(work / c.prefix) + " INSTALL_RECORD=" + Quoted(record) +
                                 " MADE_DIRS=" + Quoted(top.Path() / "made-dirs") + " ";
        const Outcome install = RunShell(make + "install-built");
        ASSERT_EQ(install.exitCode, 0) << install.output;
        ASSERT_TRUE(fs::is_regular_file(work / c.prefix / "bin/spindrel"));
        ASSERT_TRUE(fs::is_regular_file(record));

        const Outcome uninstall = RunShell(make + "uninstall");
        ASSERT_EQ(uninstall.exitCode, 0) << uninstall.output;
        std::vector<std::string> left;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(work))
            left.push_back(fs::relative(entry.path(), work).string());
        std::vector<std::string> expected = {"keep.txt"};
        for (const char* folder : c.existingBefore)
            for (fs::path p = folder; !p.empty(); p = p.parent_path()) expected.push_back(p.string());
        std::sort(left.begin(), left.end());
        std::sort(expected.begin(), expected.end());
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        EXPECT_EQ(left, expected);
        EXPECT_FALSE(fs::exists(record));
    }
}

}   // namespace
