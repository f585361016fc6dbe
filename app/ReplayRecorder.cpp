#include "app/ReplayRecorder.h"

ReplayRecorder::ReplayRecorder(plat::KeySource* keyboard, uint32_t seed, int startStage, uint32_t startMs)
    : m_keyboard(keyboard)
{
    m_replay.seed = seed;
    m_replay.startStage = startStage;
    m_replay.startMs = startMs;
}

bool ReplayRecorder::Read(uint8_t keys[256])
{
    const bool ok = m_keyboard && m_keyboard->Read(keys);
    m_frame.keysRead = true;
    m_frame.readOk = ok;
    m_frame.keys = ok ? Replay::PackKeys(keys) : 0;
    return ok;
}

void ReplayRecorder::EndFrame(uint32_t frameMs, bool handOver)
{
    m_frame.frameMs = frameMs;
    m_frame.handOver = handOver;
    m_replay.frames.push_back(m_frame);
    m_frame = Replay::Frame{};
}
