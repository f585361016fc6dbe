// CVersusResult is the result of a round of a game of two, laid over the
// battle that goes on running under it (the items stand still). Between
// rounds it shows for a few seconds who took the round and the score, then
// loads the arena afresh for the next round; Z cuts it short. After the
// deciding round it names the winner with the final score and offers REMATCH
// (a new match in the same arena) or TITLE: Left, Right, Up or Down choose,
// Z confirms, Escape is TITLE.
#pragma once

#include <cstdint>
#include <string>

#include "audio/CSound.h"
#include "core/Task.h"
#include "hud/VersusArt.h"
#include "scene/ScreenKeys.h"

constexpr const char* VERSUS_RESULT_TASK_NAME = "CVersusResult";

class CVersusResult : public CGameObject {
public:
    static constexpr int ROUND_SHOW_FRAMES = 150;   // 2.5 s at 60 frames a second
    enum Choice { CHOICE_REMATCH, CHOICE_TITLE };

    // The side that took the round a battle ended with: the enemy side's top
    // down is player 1's round, the near side's top down player 2's.
    static int WinnerOf(int kind);
    // Scores the round for the side the kind names and opens the screen over
    // the battle. A second hand-over while the screen shows changes nothing.
    static void Start(int kind);

    CVersusResult(int roundWinner, int roundPlayed);
    void Init() override;
    void Update() override;
    void Draw() override;

    int RoundWinner() const { return m_RoundWinner; }
    int RoundPlayed() const { return m_RoundPlayed; }
    bool ShowsMatchResult() const;
    int Chosen() const { return m_Choice; }
    int FramesShown() const { return m_Frames; }
    // The score as shown, player 1's first: "1-0".
    static std::string ScoreText();

private:
    void UpdateRound();
    void UpdateMatch();
    void NextRound();
    void Rematch();
    void BackToTitle();
    void PlaySelectCopy();

    void DrawRound();
    void DrawMatch();

    ScreenKeys m_Keys;
    VersusArt m_Art;
    CSound m_MoveSound;
    CSound m_SelectSound;
    CSound m_RoundSound;
    int m_RoundWinner;
    int m_RoundPlayed;
    int m_Frames = 0;
    int m_Choice = CHOICE_REMATCH;
};
