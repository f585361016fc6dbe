#include "app/ReplayRecorder.h"

ReplayRecorder::ReplayRecorder(plat::KeySource* keyboard, uint32_t seed, int startStage, uint32_t startMs)
    : m_Keyboard(keyboard)
{
    m_Replay.seed = seed;
    m_Replay.startStage = startStage;
    m_Replay.startMs = startMs;
}

bool ReplayRecorder::Read(uint8_t keys[256])
{
    const bool ok = m_Keyboard && m_Keyboard->Read(keys);
    m_Frame.keysRead = true;
    m_Frame.readOk = ok;
    m_Frame.keys = ok ? Replay::PackKeys(keys) : 0;
    return ok;
}

void ReplayRecorder::EndFrame(uint32_t frameMs, bool handOver)
{
    m_Frame.frameMs = frameMs;
    m_Frame.handOver = handOver;
    m_Replay.frames.push_back(m_Frame);
    m_Frame = Replay::Frame{};
}
