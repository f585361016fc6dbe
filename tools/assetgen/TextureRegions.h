// The texture regions of every picture the game cuts up: one table per
// texture, with the rectangles (left, top, right, bottom; right and bottom
// exclusive) that the game's screens, effects and interface draw from. The
// generator paints each picture from its table, and the data-set test checks
// the written files against the same tables.
//
// Every texture is a power of two in both directions, because the loader
// stretches other sizes to the next power of two and the rectangles would no
// longer match.
#pragma once

#include <cstdint>
#include <span>

namespace assetgen::regions {

struct Region {
    const char* name;
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

struct TextureTable {
    const char* file;    // relative to the data folder
    int width, height;   // pixels, powers of two
    uint32_t colorKey;   // ARGB the game loads it with (0: none)
    std::span<const Region> regions;
};

// ------------------------------------------------------------ texture/Interface.png
// The battle interface, the aiming and launch screens, the clash and the hit texts.
namespace interface {
inline constexpr Region GaugeBack{"gauge back", 0, 0, 320, 64};
// Drawn (0, 64)-(gauge + 9, 112); the gauge ceiling is at most 270.
inline constexpr Region GaugeFill{"gauge fill", 0, 64, 320, 112};
inline constexpr Region SwarmIcon{"swarm icon", 320, 0, 340, 20};
inline constexpr Region MeterFrame{"meter frame", 400, 0, 500, 40};
inline constexpr Region MeterLabel{"meter label", 320, 48, 407, 80};
inline constexpr Region GaugeLabel{"gauge label", 320, 80, 407, 112};
// The marker quad over an enemy top: u 0.875..0.927734375, v 0.09375..0.146484375.
inline constexpr Region EnemyMarker{"enemy marker", 448, 48, 475, 75};
inline constexpr Region Emblem{"launch emblem", 0, 112, 128, 176};
// Hit text image k: u 64k/512..64(k+1)/512, v 0.34375..0.4375.
inline constexpr Region HitText0{"hit text 0", 0, 176, 64, 224};
inline constexpr Region HitText1{"hit text 1", 64, 176, 128, 224};
inline constexpr Region ClashBanner{"clash banner", 0, 224, 285, 288};
inline constexpr Region AimGaugeFrame{"aim gauge frame", 320, 128, 512, 224};
// Drawn (320, 224)-(320 + power, 320); power is at most 192.
inline constexpr Region AimGaugeFill{"aim gauge fill", 320, 224, 512, 320};
inline constexpr Region ClashButton0{"clash button 0", 320, 320, 384, 416};
inline constexpr Region ClashButton1{"clash button 1", 384, 320, 448, 416};
inline constexpr Region ClashButton2{"clash button 2", 448, 320, 512, 416};
inline constexpr Region LaunchBanner{"launch banner", 0, 400, 320, 448};   // scrolls in a 320-texel loop
inline constexpr Region AimBanner{"aim banner", 0, 448, 512, 496};         // scrolls in a 512-texel loop
// Whose panel is whose: tags beside the player's and the enemy's labels.
inline constexpr Region PlayerTag{"player tag", 128, 112, 192, 144};
inline constexpr Region EnemyTag{"enemy tag", 192, 112, 256, 144};
// An arrow pointing right (turned by the game) at the edge of the picture,
// towards an enemy out of view.
inline constexpr Region EdgeArrow{"edge arrow", 256, 112, 288, 144};
inline constexpr Region kAll[] = {GaugeBack,    GaugeFill,    SwarmIcon,    MeterFrame,   MeterLabel,   GaugeLabel,
                                  EnemyMarker,  Emblem,       HitText0,     HitText1,     ClashBanner,  AimGaugeFrame,
                                  AimGaugeFill, ClashButton0, ClashButton1, ClashButton2, LaunchBanner, AimBanner,
                                  PlayerTag,    EnemyTag,     EdgeArrow};
}   // namespace interface

// ------------------------------------------------------------ texture/Title.png
namespace title {
inline constexpr int kLetterCount = 7;
inline constexpr Region Letter[kLetterCount] = {{"letter 0", 0, 0, 96, 128},   {"letter 1", 96, 96, 160, 160},
                                                {"letter 2", 96, 0, 192, 96},  {"letter 3", 192, 0, 288, 96},
                                                {"letter 4", 288, 0, 384, 96}, {"letter 5", 224, 96, 320, 160},
                                                {"letter 6", 416, 0, 512, 128}};
inline constexpr Region Lit[kLetterCount] = {{"lit letter 0", 0, 128, 96, 256},    {"lit letter 1", 160, 96, 224, 160},
                                             {"lit letter 2", 96, 160, 192, 256},  {"lit letter 3", 192, 160, 288, 256},
                                             {"lit letter 4", 288, 160, 384, 256}, {"lit letter 5", 320, 96, 416, 160},
                                             {"lit letter 6", 416, 128, 512, 256}};
// Where the title screen settles each letter (centre of the picture, screen pixels).
inline constexpr int kLetterHome[kLetterCount][2] = {{140, 97},  {184, 173}, {230, 141}, {304, 149},
                                                     {373, 132}, {417, 115}, {500, 97}};
// What each letter picture shows: together they spell the game's name.
inline constexpr const char* kLetterText[kLetterCount] = {"S", "P", "I", "N", "D", "R", "EL"};
inline constexpr Region LeftTop{"left top", 0, 384, 128, 512};
inline constexpr Region RightTop{"right top", 128, 384, 256, 512};
inline constexpr Region Subtitle{"subtitle", 256, 416, 416, 512};
inline constexpr Region Runner0{"running top 0", 0, 256, 128, 384};
inline constexpr Region Runner1{"running top 1", 128, 256, 256, 384};
inline constexpr Region MenuStart{"menu start", 256, 256, 456, 320};
inline constexpr Region MenuQuit{"menu quit", 256, 320, 456, 384};
inline constexpr Region Cursor{"menu cursor", 416, 384, 480, 448};
inline constexpr Region kAll[] = {Letter[0], Letter[1], Letter[2], Letter[3], Letter[4], Letter[5], Letter[6], Lit[0],
                                  Lit[1],    Lit[2],    Lit[3],    Lit[4],    Lit[5],    Lit[6],    LeftTop,   RightTop,
                                  Subtitle,  Runner0,   Runner1,   MenuStart, MenuQuit,  Cursor};
}   // namespace title

// ------------------------------------------------------------ texture/Animation_Explosion.bmp
namespace explosion {
inline constexpr int kCell = 160;
inline constexpr int kFrames = 8;   // cells 0..7, row by row, three to a 512-texel row
inline constexpr Region kAll[] = {{"cell 0", 0, 0, 160, 160},     {"cell 1", 160, 0, 320, 160},
                                  {"cell 2", 320, 0, 480, 160},   {"cell 3", 0, 160, 160, 320},
                                  {"cell 4", 160, 160, 320, 320}, {"cell 5", 320, 160, 480, 320},
                                  {"cell 6", 0, 320, 160, 480},   {"cell 7", 160, 320, 320, 480}};
}   // namespace explosion

// ------------------------------------------------------------ texture/StageSelect.png
namespace stageselect {
inline constexpr Region Background{"background", 0, 0, 640, 480};
// The part of the background left transparent: the preview window.
inline constexpr Region PreviewWindow{"preview window", 128, 96, 512, 384};
inline constexpr Region Name[5] = {{"name 1", 640, 0, 992, 80},
                                   {"name 2", 640, 80, 992, 160},
                                   {"name 3", 640, 160, 992, 240},
                                   {"name 4", 640, 240, 992, 320},
                                   {"name 5", 640, 320, 992, 400}};
inline constexpr Region Slot[5] = {{"slot 1", 752, 400, 800, 464},
                                   {"slot 2", 800, 400, 848, 464},
                                   {"slot 3", 848, 400, 896, 464},
                                   {"slot 4", 896, 400, 944, 464},
                                   {"slot 5", 944, 400, 992, 464}};
inline constexpr Region ClearedMark{"cleared mark", 640, 400, 736, 496};
inline constexpr Region Cursor{"cursor", 752, 464, 832, 512};
inline constexpr const char* kStageNames[5] = {"COPPER DISH", "SWARM BASIN", "BUMPER GARDEN", "IRON CRATER",
                                               "STAR ALTAR"};
inline constexpr Region kAll[] = {Background, Name[0], Name[1], Name[2], Name[3],     Name[4], Slot[0],
                                  Slot[1],    Slot[2], Slot[3], Slot[4], ClearedMark, Cursor};
}   // namespace stageselect

// ------------------------------------------------------------ texture/Result.png
namespace result {
inline constexpr int kLetters = 7;
inline constexpr const char* kClearMessage = "GOODJOB";   // GOOD JOB: four letters, a gap, three
inline constexpr const char* kOverMessage = "YOULOSE";    // YOU LOSE: three letters, a gap, four
inline constexpr Region ClearLetter[kLetters] = {
    {"clear letter 0", 0, 0, 48, 48},    {"clear letter 1", 48, 0, 96, 48},   {"clear letter 2", 96, 0, 144, 48},
    {"clear letter 3", 144, 0, 192, 48}, {"clear letter 4", 192, 0, 240, 48}, {"clear letter 5", 240, 0, 288, 48},
    {"clear letter 6", 288, 0, 336, 48}};
inline constexpr Region ClearLetterGrowing[kLetters] = {
    {"growing letter 0", 0, 48, 48, 208},    {"growing letter 1", 48, 48, 96, 208},
    {"growing letter 2", 96, 48, 144, 208},  {"growing letter 3", 144, 48, 192, 208},
    {"growing letter 4", 192, 48, 240, 208}, {"growing letter 5", 240, 48, 288, 208},
    {"growing letter 6", 288, 48, 336, 208}};
inline constexpr Region OverLetter[kLetters] = {
    {"over letter 0", 0, 224, 48, 272},    {"over letter 1", 48, 224, 96, 272},   {"over letter 2", 96, 224, 144, 272},
    {"over letter 3", 144, 224, 192, 272}, {"over letter 4", 192, 224, 240, 272}, {"over letter 5", 240, 224, 288, 272},
    {"over letter 6", 288, 224, 336, 272}};
inline constexpr Region ClearWordA{"STAGE", 336, 0, 432, 96};
inline constexpr Region ClearWordB{"CLEAR", 336, 96, 432, 192};
inline constexpr Region OverWordA{"GAME", 336, 192, 432, 288};
inline constexpr Region OverWordB{"OVER", 336, 288, 432, 384};
inline constexpr Region ContinueBanner{"continue banner", 0, 272, 336, 336};
// Answer pairs: the first row with the left answer (continue) lit, the second with the right one (title).
inline constexpr Region YesLit{"yes lit", 0, 336, 144, 384};
inline constexpr Region NoDim{"no dim", 144, 336, 288, 384};
inline constexpr Region YesDim{"yes dim", 0, 384, 144, 432};
inline constexpr Region NoLit{"no lit", 144, 384, 288, 432};
inline constexpr Region Prompt{"prompt", 0, 432, 176, 464};
inline constexpr Region kAll[] = {ClearLetter[0],
                                  ClearLetter[1],
                                  ClearLetter[2],
                                  ClearLetter[3],
                                  ClearLetter[4],
                                  ClearLetter[5],
                                  ClearLetter[6],
                                  ClearLetterGrowing[0],
                                  ClearLetterGrowing[1],
                                  ClearLetterGrowing[2],
                                  ClearLetterGrowing[3],
                                  ClearLetterGrowing[4],
                                  ClearLetterGrowing[5],
                                  ClearLetterGrowing[6],
                                  OverLetter[0],
                                  OverLetter[1],
                                  OverLetter[2],
                                  OverLetter[3],
                                  OverLetter[4],
                                  OverLetter[5],
                                  OverLetter[6],
                                  ClearWordA,
                                  ClearWordB,
                                  OverWordA,
                                  OverWordB,
                                  ContinueBanner,
                                  YesLit,
                                  NoDim,
                                  YesDim,
                                  NoLit,
                                  Prompt};
}   // namespace result

// ------------------------------------------------------------ texture/Load.png
namespace load {
inline constexpr Region Text{"loading text", 0, 0, 224, 64};
inline constexpr Region Spinner{"spinner", 0, 64, 64, 128};
inline constexpr Region kAll[] = {Text, Spinner};
}   // namespace load

// ------------------------------------------------------------ texture/Item1.bmp, texture/Item2.bmp
namespace items {
inline constexpr int kCell = 128;
// Item1: icon of (item, side) in cell side + 2 x item.
inline constexpr Region Icons[] = {{"spin, player", 0, 0, 128, 128},
                                   {"spin, enemy", 128, 0, 256, 128},
                                   {"power, player", 0, 128, 128, 256},
                                   {"power, enemy", 128, 128, 256, 256}};
// Item2: 2 x 2 cells in texture-coordinate steps of 0.5; cell 0 spin, cell 1 power.
inline constexpr Region Flashes[] = {{"spin flash", 0, 0, 128, 128}, {"power flash", 128, 0, 256, 128}};
}   // namespace items

// ------------------------------------------------------------ point-sprite and fade pictures
namespace sprites {
inline constexpr Region Whole{"whole picture", 0, 0, 64, 64};
inline constexpr Region kAll[] = {Whole};
// The fade stretches this texel of Spark1.bmp over the screen: it must be black.
inline constexpr Region FadeTexel{"fade texel", 0, 0, 1, 1};
}   // namespace sprites

namespace titleback {
inline constexpr Region Whole{"background", 0, 0, 1024, 512};   // drawn at 0.625 x 0.9375 to fill 640 x 480
inline constexpr Region kAll[] = {Whole};
}   // namespace titleback

// ------------------------------------------------------------ texture/Guide.png
// What a new player is told: the how-to-play card and the battle's key reminder.
namespace guide {
inline constexpr Region Card{"how-to-play card", 0, 0, 512, 384};       // drawn at 1.25 to fill the screen
inline constexpr Region HintBanner{"hint banner", 0, 448, 1024, 496};   // scrolls in a 1024-texel loop
// Versus play: both players' keys in the same kind of band, and the tags that
// stand for YOU and CPU on the battle interface.
inline constexpr Region VersusHintBanner{"versus hint banner", 0, 384, 1024, 432};
inline constexpr Region PlayerOneTag{"player 1 tag", 512, 0, 576, 32};
inline constexpr Region PlayerTwoTag{"player 2 tag", 576, 0, 640, 32};
inline constexpr Region VersusClashBanner{"versus clash banner", 640, 0, 925, 64};
inline constexpr Region kAll[] = {Card, HintBanner, VersusHintBanner, PlayerOneTag, PlayerTwoTag, VersusClashBanner};
}   // namespace guide

// ------------------------------------------------------------ texture/Hint.png
// The guide's battle parts again, on a sheet a quarter of its size: the stage
// loader decodes this one with every stage. (The guide keeps them too, as the
// how-to-play card is filtered against its neighbours at its edges.)
namespace hint {
inline constexpr Region HintBanner{"hint banner", 0, 0, 1024, 48};   // scrolls in a 1024-texel loop
inline constexpr Region VersusHintBanner{"versus hint banner", 0, 48, 1024, 96};
inline constexpr Region PlayerOneTag{"player 1 tag", 0, 96, 64, 128};
inline constexpr Region PlayerTwoTag{"player 2 tag", 64, 96, 128, 128};
inline constexpr Region VersusClashBanner{"versus clash banner", 128, 96, 413, 160};
inline constexpr Region kAll[] = {HintBanner, VersusHintBanner, PlayerOneTag, PlayerTwoTag, VersusClashBanner};
}   // namespace hint

// ------------------------------------------------------------ texture/Player.png
// What the player's own files and the pause bring to the screens: the pause
// menu, the best time on the stage select, the battle time and NEW BEST of
// the result.
namespace player {
inline constexpr Region Paused{"paused heading", 0, 0, 512, 96};
inline constexpr Region Resume{"resume", 0, 96, 320, 144};
inline constexpr Region Retry{"retry the stage", 0, 144, 320, 192};
inline constexpr Region Title{"back to the title", 0, 192, 320, 240};
inline constexpr Region ResumeLit{"resume, chosen", 0, 240, 320, 288};
inline constexpr Region RetryLit{"retry the stage, chosen", 0, 288, 320, 336};
inline constexpr Region TitleLit{"back to the title, chosen", 0, 336, 320, 384};
inline constexpr Region Pointer{"pointer", 320, 96, 368, 144};
inline constexpr Region MenuPanel{"menu panel", 320, 160, 512, 352};
inline constexpr Region Shade{"shade", 448, 448, 464, 464};   // opaque and nearly black, stretched over the picture
inline constexpr Region NewBest{"new best", 0, 384, 256, 432};
inline constexpr Region TimeLabel{"time label", 256, 384, 384, 432};
inline constexpr Region BestLabel{"best label", 384, 384, 512, 432};
inline constexpr int DigitWidth = 32, DigitTop = 432, DigitBottom = 480;
// 0 to 9, then the colon and the point of a time such as 1:23.4.
inline constexpr int DigitCount = 12;
inline constexpr Region Digits{"digits 0-9 : .", 0, 432, DigitWidth* DigitCount, 480};
inline constexpr Region kAll[] = {Paused,  Resume,    Retry, Title,   ResumeLit, RetryLit,  TitleLit,
                                  Pointer, MenuPanel, Shade, NewBest, TimeLabel, BestLabel, Digits};
}   // namespace player

// ------------------------------------------------------------ texture/Options.png
// The options screen: its heading and panel, the names of its rows (plain and
// chosen), the volume bar, window or full screen, the letters that spell a
// key's name, and the OPTIONS entries of the pause menu and of the title.
namespace options {
inline constexpr Region Heading{"options heading", 0, 0, 512, 80};
inline constexpr int RowCount = 10, RowTop = 80, RowHeight = 32, LabelWidth = 160;
inline constexpr Region Labels{"row names", 0, RowTop, LabelWidth, RowTop + RowCount* RowHeight};
inline constexpr Region LabelsLit{"row names, chosen", LabelWidth, RowTop, 2 * LabelWidth,
                                  RowTop + RowCount* RowHeight};
inline constexpr Region Windowed{"window", 320, 80, 512, 112};
inline constexpr Region Fullscreen{"full screen", 320, 112, 512, 144};
inline constexpr Region PressKey{"press a key", 320, 144, 512, 176};
inline constexpr Region BarFrame{"volume bar frame", 320, 176, 512, 200};
inline constexpr Region BarFill{"volume bar fill", 320, 200, 512, 224};
// The letters of key names, 16 x 24 each, twelve to a row.
inline constexpr const char* Glyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
inline constexpr int GlyphWidth = 16, GlyphHeight = 24, GlyphsPerRow = 12, GlyphRows = 4;
inline constexpr Region GlyphSheet{"key-name letters", 320, 224, 320 + GlyphWidth* GlyphsPerRow,
                                   224 + GlyphHeight* GlyphRows};
inline constexpr Region Pointer{"pointer", 320, 320, 352, 352};
inline constexpr Region Panel{"panel", 352, 320, 512, 400};
inline constexpr Region Shade{"shade", 448, 400, 464, 416};
inline constexpr Region PauseEntry{"pause menu entry", 0, 400, 320, 448};
inline constexpr Region PauseEntryLit{"pause menu entry, chosen", 0, 448, 320, 496};
inline constexpr Region TitleEntry{"title entry", 320, 416, 512, 480};
inline constexpr Region kAll[] = {Heading,  Labels,   LabelsLit,  Windowed,      Fullscreen,
                                  PressKey, BarFrame, BarFill,    GlyphSheet,    Pointer,
                                  Panel,    Shade,    PauseEntry, PauseEntryLit, TitleEntry};
}   // namespace options

// ------------------------------------------------------------ texture/Versus.png
// The screens of a game of two: the VERSUS entry of the title, the arena
// select (heading, the frame round the arena's preview, arrows, the arenas'
// names), the round and match results (ROUND, PLAYER 1 and 2, WINS, the
// score's digits) and their choices, plain and lit.
namespace versus {
inline constexpr Region Heading{"versus heading", 0, 0, 320, 64};
inline constexpr Region TitleEntry{"versus title entry", 320, 0, 512, 64};
inline constexpr Region Frame{"preview frame", 0, 64, 352, 304};
// The part of the frame left transparent, where the arena turns.
inline constexpr Region FrameWindow{"preview frame window", 16, 80, 336, 288};
inline constexpr Region ArrowLeft{"arrow left", 352, 64, 400, 128};
inline constexpr Region ArrowRight{"arrow right", 400, 64, 448, 128};
inline constexpr Region Pointer{"choice pointer", 448, 64, 480, 96};
// The score's characters, 24 x 40 each, six to a row.
inline constexpr const char* Digits = "0123456789-";
inline constexpr int DigitWidth = 24, DigitHeight = 40, DigitsPerRow = 6;
inline constexpr Region DigitSheet{"score digits", 352, 128, 352 + DigitWidth* DigitsPerRow, 128 + 2 * DigitHeight};
inline constexpr Region Round{"ROUND", 352, 208, 512, 256};
inline constexpr Region Wins{"WINS", 352, 256, 512, 304};
// The duel arenas a match may be fought in, by stage index.
inline constexpr int kArenaCount = 3;
inline constexpr int kArenaStages[kArenaCount] = {0, 2, 3};
inline constexpr Region ArenaName[kArenaCount] = {{"arena name 1", 0, 304, 256, 336},
                                                  {"arena name 2", 0, 336, 256, 368},
                                                  {"arena name 3", 0, 368, 256, 400}};
inline constexpr Region Player[2] = {{"PLAYER 1", 256, 304, 512, 352}, {"PLAYER 2", 256, 352, 512, 400}};
inline constexpr Region Rematch{"REMATCH", 0, 400, 160, 432};
inline constexpr Region RematchLit{"REMATCH, chosen", 160, 400, 320, 432};
inline constexpr Region Title{"TITLE", 0, 432, 160, 464};
inline constexpr Region TitleLit{"TITLE, chosen", 160, 432, 320, 464};
inline constexpr Region Back{"BACK", 0, 464, 160, 496};
inline constexpr Region BackLit{"BACK, chosen", 160, 464, 320, 496};
inline constexpr Region Panel{"panel", 320, 400, 448, 480};
inline constexpr Region Prompt{"press z", 320, 480, 512, 512};
inline constexpr Region kAll[] = {Heading,      TitleEntry, Frame,     ArrowLeft, ArrowRight,   ArenaName[0],
                                  ArenaName[1], ArenaName[2], Pointer, DigitSheet, Round,       Wins,
                                  Player[0],    Player[1],  Rematch,   RematchLit, Title,       TitleLit,
                                  Back,         BackLit,    Panel,     Prompt};
}   // namespace versus

inline constexpr uint32_t kBlackKey = 0xff000000u;

inline constexpr TextureTable kTextures[] = {
    {"texture/Interface.png", 512, 512, 0, interface::kAll},
    {"texture/Title.png", 512, 512, 0, title::kAll},
    {"texture/TitleBack.jpg", 1024, 512, 0, titleback::kAll},
    {"texture/Animation_Explosion.bmp", 512, 512, kBlackKey, explosion::kAll},
    {"texture/StageSelect.png", 1024, 512, 0, stageselect::kAll},
    {"texture/Result.png", 512, 512, 0, result::kAll},
    {"texture/Guide.png", 1024, 512, 0, guide::kAll},
    {"texture/Hint.png", 1024, 256, 0, hint::kAll},
    {"texture/Player.png", 512, 512, 0, player::kAll},
    {"texture/Options.png", 512, 512, 0, options::kAll},
    {"texture/Versus.png", 512, 512, 0, versus::kAll},
    {"texture/Load.png", 256, 128, 0, load::kAll},
    {"texture/Item1.bmp", 256, 256, 0, items::Icons},
    {"texture/Item2.bmp", 256, 256, 0, items::Flashes},
    {"texture/Spark1.bmp", 64, 64, kBlackKey, sprites::kAll},
    {"texture/Spark2.bmp", 64, 64, kBlackKey, sprites::kAll},
    {"texture/Tarbo1.bmp", 64, 64, kBlackKey, sprites::kAll},
};

}   // namespace assetgen::regions
