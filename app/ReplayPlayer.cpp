#include "app/ReplayPlayer.h"

#include <utility>

#include "platform/Clock.h"
#include "stage/StageLoader.h"

ReplayPlayer::ReplayPlayer(Replay replay) : m_Replay(std::move(replay)) {}

bool ReplayPlayer::BeginFrame(plat::VirtualClock& clock)
{
    if (m_Next >= m_Replay.frames.size()) return false;
    m_Frame = m_Replay.frames[m_Next++];
    clock.SetNow(m_Frame.frameMs);
    // The loading thread may be faster or slower than when the session was
    // recorded: the hand-over waits for it, and nothing hands over early.
    if (m_Frame.handOver) {
        WaitForStageLoader();
        HoldStageHandOver(false);
    } else {
        HoldStageHandOver(IsStageLoadInProgress());
    }
    return true;
}

bool ReplayPlayer::Read(uint8_t keys[256])
{
    if (!m_Frame.keysRead || !m_Frame.readOk) return false;
    Replay::UnpackKeys(m_Frame.keys, keys);
    return true;
}
