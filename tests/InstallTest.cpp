// The installed game: CMake's install puts the program, the data, the desktop
// entry, the metainfo, the manual page and the icons where a Linux desktop
// looks for them, and the installed program finds its data from any folder.
// The install goes through its own component so that the build's record of a
// real install (install_manifest.txt, which make uninstall reads) is left alone.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string kAppId = SPINDREL_APP_ID;

struct Outcome {
    int exitCode = -1;
    std::string output;
};

Outcome RunShell(const std::string& command)
{
    Outcome outcome;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe)) outcome.output += buffer.data();
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

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

std::string Slurp(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    EXPECT_NE(desktop.find("\nStartupWMClass=Game\n"), std::string::npos);   // the window's class
    const std::string metainfo = Slurp(s_prefix / "share/metainfo" / (kAppId + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<id>" + kAppId + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find(">" + kAppId + ".desktop</launchable>"), std::string::npos);
    const std::string manual = Slurp(s_prefix / "share/man/man6/spindrel.6");
    EXPECT_EQ(manual.rfind(".TH SPINDREL 6", 0), 0u);
    for (const char* option : {"fullscreen", "windowed", "data", "help", "version", "SPINDREL_DATA"})
        EXPECT_NE(manual.find(option), std::string::npos) << option;
}

TEST_F(InstallTest, InstalledProgramFindsItsDataFromAnyFolder)
{
    // With no display the program stops at the window, after it found its data.
    std::string program = "'";
    program += (s_prefix / "bin/spindrel").string();
    program += "'";
    const std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY -u SPINDREL_DATA SDL_VIDEODRIVER=offscreen "
                            "SDL_AUDIODRIVER=dummy ";
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

}  // namespace
