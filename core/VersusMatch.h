// VersusMatch is the two-player match in progress: the arena it is fought in,
// the rounds each side has taken and who has won. While no match is under
// way the game is the one-player game and nothing reads the score. Side 0 is
// player 1 (the arrow keys, the near start point), side 1 player 2.
#pragma once

class VersusMatch {
public:
    static constexpr int SIDES = 2;
    static constexpr int PLAYER_1 = 0;
    static constexpr int PLAYER_2 = 1;
    static constexpr int ROUNDS_TO_WIN = 2;
    static constexpr int NO_WINNER = -1;

    static VersusMatch& Current();

    // A new match at a stage (0 to 4): the score at 0 - 0, round 1.
    void Begin(int stageIndex);
    // Back to the one-player game.
    void End();

    bool Active() const { return m_Active; }
    int StageIndex() const { return m_StageIndex; }
    // The round in play, from 1; after the match, the last one played.
    int Round() const { return m_Round; }
    int Score(int side) const;
    bool Over() const { return Winner() != NO_WINNER; }
    int Winner() const;

    // A side took the round in play; the next round begins unless the match
    // is over. Ignored once the match is over or for a side that is not one.
    void RecordRoundWin(int side);

private:
    bool m_Active = false;
    int m_StageIndex = 0;
    int m_Round = 1;
    int m_Score[SIDES] = {};
};
