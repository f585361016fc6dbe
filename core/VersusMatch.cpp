#include "core/VersusMatch.h"

#include <initializer_list>

VersusMatch& VersusMatch::Current()
{
    static VersusMatch match;
    return match;
}

void VersusMatch::Begin(int stageIndex)
{
    m_Active = true;
    m_StageIndex = stageIndex;
    m_Round = 1;
    m_Score[PLAYER_1] = m_Score[PLAYER_2] = 0;
}

void VersusMatch::End()
{
    m_Active = false;
    m_Round = 1;
    m_Score[PLAYER_1] = m_Score[PLAYER_2] = 0;
}

int VersusMatch::Score(int side) const { return side == PLAYER_1 || side == PLAYER_2 ? m_Score[side] : 0; }

int VersusMatch::Winner() const
{
    for (int side : {PLAYER_1, PLAYER_2})
        if (m_Score[side] >= ROUNDS_TO_WIN) return side;
    return NO_WINNER;
}

void VersusMatch::RecordRoundWin(int side)
{
    if (!m_Active || Over() || (side != PLAYER_1 && side != PLAYER_2)) return;
    ++m_Score[side];
    if (!Over()) ++m_Round;
}
