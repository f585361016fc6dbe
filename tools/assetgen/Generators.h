// The generators of the data set. Each writes a group of files under the data
// folder and returns false if any of them could not be written; they share
// nothing, so they may run on different threads.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// The data folder and the file paths in it (parent folders are created).
class DataDir {
public:
    explicit DataDir(std::string root) : m_Root(std::move(root)) {}
    std::string Path(const std::string& relative) const;
    const std::string& Root() const { return m_Root; }

private:
    std::string m_Root;
};

// Pictures of the screens and the interface.
bool WriteInterfaceTexture(const DataDir& dir);
bool WriteTitleTextures(const DataDir& dir);   // Title.png, TitleBack.jpg
bool WriteExplosionTexture(const DataDir& dir);
bool WriteStageSelectTexture(const DataDir& dir);
bool WriteResultTexture(const DataDir& dir);
bool WriteLoadTexture(const DataDir& dir);
bool WriteGuideTexture(const DataDir& dir);     // the how-to-play card and the battle's key reminder
bool WriteHintTexture(const DataDir& dir);      // the battle's key reminder and the players' tags alone
bool WriteOptionsTexture(const DataDir& dir);   // the options screen and its menu entries
bool WriteVersusTexture(const DataDir& dir);    // the screens of a game of two and the title's VERSUS
bool WritePlayerTexture(const DataDir& dir);    // the pause menu, CLEAR marks, battle times
bool WriteEffectTextures(const DataDir& dir);   // Spark1, Spark2, Tarbo1, Item1, Item2

// Meshes with their own textures beside them in X/.
bool WriteTopMeshes(const DataDir& dir);      // player, ghost, enemies, boss
bool WriteObjectMeshes(const DataDir& dir);   // items, box, launcher, effects, capsule, boss weapons
bool WriteSpaceMesh(const DataDir& dir);
bool WriteArena(const DataDir& dir, int stage);   // stage 1..5

// Sound.
bool WriteSoundEffects(const DataDir& dir);
bool WriteMusicTrack(const DataDir& dir, int track);   // 0..4
int MusicTrackCount();

// The program's icon as NAME.png in FOLDER/hicolor/NxN/apps/ for every size N.
bool WriteIcons(const std::string& folder, const std::string& name, const std::vector<int>& sizes);

}   // namespace assetgen
