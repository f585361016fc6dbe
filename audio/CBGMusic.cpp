#include "audio/CBGMusic.h"

#include <algorithm>

#include "platform/AudioOutput.h"
#include "platform/Clock.h"

namespace {
// Keeps a runaway fade (a task left unupdated for hours) inside the integer
// range; the stream refuses such volumes anyway.
constexpr float kVolumeLimit = 1.0e9f;
}   // namespace

CBGMusic::CBGMusic(const std::string& path) { Open(path); }

CBGMusic::~CBGMusic() = default;

void CBGMusic::Open(const std::string& path)
{
    m_Stream.reset();
    plat::AudioOutput* output = plat::GetAudioOutput();
    if (!output) return;
    m_Stream = plat::MusicStream::Open(output->SharedMixer(), path);
}

void CBGMusic::Play(int32_t startVolume, bool loop)
{
    if (!m_Stream) return;
    m_Stream->SetVolume(startVolume);
    m_Loop = loop ? 1 : 0;
    m_Stream->SetPosition(0);
    m_Stream->Run();
}

void CBGMusic::FadeVolume(int32_t durationMs, int32_t targetVolume)
{
    if (!m_Stream) return;
    if (durationMs <= 0) {
        // Nothing to spread the change over: go straight to the target.
        m_Fading = 0;
        m_Stream->SetVolume(targetVolume);
        return;
    }
    m_Fading = 1;
    m_FadeStartVolume = static_cast<float>(m_Stream->Volume());
    m_FadeStartTime = plat::NowMs();
    m_FadeDuration = static_cast<float>(durationMs);
    m_FadeStep = (static_cast<float>(targetVolume) - m_FadeStartVolume) / m_FadeDuration;
}

void CBGMusic::Update()
{
    if (!m_Stream) return;
    KeepLooping();
    AdvanceFade();
}

// The end of the track is found by polling once a frame; the stream keeps
// running, so setting the position back plays it again.
void CBGMusic::KeepLooping()
{
    if (m_Loop != 1) return;
    if (m_Stream->Position() >= m_Stream->StopPosition()) m_Stream->SetPosition(0);
}

// The last volume set is the one computed with the elapsed time of that
// frame, which may lie a little past the target.
void CBGMusic::AdvanceFade()
{
    if (m_Fading != 1) return;
    const float elapsed = static_cast<float>(plat::NowMs() - m_FadeStartTime);
    const float volume = std::clamp(m_FadeStartVolume + m_FadeStep * elapsed, -kVolumeLimit, kVolumeLimit);
    m_Stream->SetVolume(static_cast<int32_t>(volume));
    if (elapsed >= m_FadeDuration) m_Fading = 0;
}
