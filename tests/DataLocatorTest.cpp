// Finding the data folder: each place in its turn, the player's own choice
// taken alone, and the message when nothing is found; and the data root that
// every file the game opens goes through.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/DataLocator.h"
#include "platform/DataRoot.h"
#include "platform/Texture.h"
#include "platform/xfile/XFileReader.h"

namespace fs = std::filesystem;

namespace {

// A scratch tree: prefix/bin (the executable's folder), prefix/share/spindrel,
// prefix/bin/data, and an unrelated current folder.
class DataLocatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/spindrel-locate-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = fs::canonical(pattern);
        fs::create_directories(Bin());
        fs::create_directories(Elsewhere());
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path Bin() const { return root / "prefix" / "bin"; }
    fs::path Installed() const { return root / "prefix" / "share" / "spindrel"; }
    fs::path BuildData() const { return Bin() / "data"; }
    fs::path Elsewhere() const { return root / "elsewhere"; }

    static void MakeData(const fs::path& folder)
    {
        for (const char* sub : {"X", "texture", "sound", "bgm"}) fs::create_directories(folder / sub);
    }

    DataLocator::Places Places() const
    {
        DataLocator::Places places;
        places.executableFolder = Bin().string();
        places.currentFolder = Elsewhere().string();
        return places;
    }

    fs::path root;
};

TEST_F(DataLocatorTest, InstalledDataBesideTheExecutableComesFirst)
{
    MakeData(Installed());
    MakeData(BuildData());
    MakeData(Elsewhere());
    DataLocator::Result r = DataLocator::Locate(Places());
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.folder, Installed().string());   // "../share/spindrel" resolved, not left relative
    EXPECT_EQ(r.tried.size(), 1u);
}

TEST_F(DataLocatorTest, BuildTreeDataThenTheCurrentFolder)
{
    MakeData(BuildData());
    MakeData(Elsewhere());
    DataLocator::Result r = DataLocator::Locate(Places());
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.folder, BuildData().string());

    fs::remove_all(BuildData());
    r = DataLocator::Locate(Places());
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.folder, Elsewhere().string());
    EXPECT_EQ(r.tried.size(), 3u);
}

TEST_F(DataLocatorTest, CommandLineThenEnvironmentOverrideEverything)
{
    MakeData(Installed());
    const fs::path mine = root / "mine";
    const fs::path theirs = root / "theirs";
    MakeData(mine);
    MakeData(theirs);
    DataLocator::Places places = Places();
    places.environment = theirs.string();
    EXPECT_EQ(DataLocator::Locate(places).folder, theirs.string());
    places.commandLine = mine.string();
    EXPECT_EQ(DataLocator::Locate(places).folder, mine.string());
}

TEST_F(DataLocatorTest, AFolderThePlayerNamedIsTheOnlyOneTried)
{
    // Quietly playing from the installed data would hide the player's typo.
    MakeData(Installed());
    DataLocator::Places places = Places();
    places.environment = (root / "typo").string();
    DataLocator::Result r = DataLocator::Locate(places);
    EXPECT_FALSE(r.found);
    ASSERT_EQ(r.tried.size(), 1u);
    EXPECT_EQ(r.tried[0], (root / "typo").string());

    places.environment.reset();
    places.commandLine = (root / "typo2").string();
    r = DataLocator::Locate(places);
    EXPECT_FALSE(r.found);
    ASSERT_EQ(r.tried.size(), 1u);
}

TEST_F(DataLocatorTest, AnEmptyEnvironmentVariableCountsAsUnset)
{
    MakeData(BuildData());
    DataLocator::Places places = Places();
    places.environment = "";
    EXPECT_EQ(DataLocator::Locate(places).folder, BuildData().string());
}

TEST_F(DataLocatorTest, RelativeFoldersAreTakenFromTheCurrentDirectory)
{
    const fs::path old = fs::current_path();
    MakeData(Elsewhere() / "rel");
    fs::current_path(Elsewhere());
    DataLocator::Places places = Places();
    places.commandLine = "rel";
    DataLocator::Result r = DataLocator::Locate(places);
    fs::current_path(old);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.folder, (Elsewhere() / "rel").string());
}

TEST_F(DataLocatorTest, NothingFoundListsEveryFolderTried)
{
    // Folders with only part of the data, or a file where a folder should be, do not count.
    fs::create_directories(Installed() / "X");
    fs::create_directories(BuildData());
    for (const char* sub : {"X", "texture", "sound"}) fs::create_directories(BuildData() / sub);
    std::ofstream(BuildData() / "bgm") << "not a folder";
    DataLocator::Result r = DataLocator::Locate(Places());
    EXPECT_FALSE(r.found);
    ASSERT_EQ(r.tried.size(), 3u);
    const std::string message = DataLocator::FailureMessage(r);
    for (const fs::path& p : {Installed(), BuildData(), Elsewhere()})
        EXPECT_NE(message.find("  " + p.string() + "\n"), std::string::npos) << message;
    EXPECT_NE(message.find("--data"), std::string::npos);
    EXPECT_NE(message.find("SPINDREL_DATA"), std::string::npos);
}

// The data root: every file the game opens is named relative to it.
class DataRootTest : public ::testing::Test {
protected:
    void TearDown() override { plat::SetDataRoot(""); }
};

TEST_F(DataRootTest, RelativePathsGoUnderTheRootAndAbsoluteOnesStay)
{
    EXPECT_EQ(plat::DataPath("X/Top.x"), "X/Top.x");   // no root: the current directory
    plat::SetDataRoot("/opt/game/data/");
    EXPECT_EQ(plat::GetDataRoot(), "/opt/game/data");
    EXPECT_EQ(plat::DataPath("X/Top.x"), "/opt/game/data/X/Top.x");
    EXPECT_EQ(plat::DataPath("/tmp/other.wav"), "/tmp/other.wav");
    EXPECT_EQ(plat::DataPath(""), "");
    plat::SetDataRoot("/");
    EXPECT_EQ(plat::DataPath("bgm/Title.mp3"), "/bgm/Title.mp3");
}

TEST_F(DataRootTest, GameFilesLoadFromTheRootWhateverTheCurrentFolder)
{
    const std::string data = std::string(SPINDREL_BINARY_DIR) + "/data";
    if (!DataLocator::IsDataFolder(data)) GTEST_SKIP() << "no generated data in " << data;
    const fs::path old = fs::current_path();
    fs::current_path("/");
    plat::XModel model;
    plat::Texture texture;
    EXPECT_NE(plat::XFileReader::ReadFile("X/Top.x", &model), plat::XFileStatus::Ok);   // not in /
    plat::SetDataRoot(data);
    EXPECT_EQ(plat::XFileReader::ReadFile("X/Top.x", &model), plat::XFileStatus::Ok);
    EXPECT_TRUE(texture.LoadFromFile("texture/Interface.png", 0));
    fs::current_path(old);
}

}   // namespace
