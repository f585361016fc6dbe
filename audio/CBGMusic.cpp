#include "audio/CBGMusic.h"

#include <algorithm>

#include "platform/AudioOutput.h"
#include "platform/Clock.h"

namespace {
// Keeps a runaway fade (a task left unupdated for hours) inside the integer
// range; the stream refuses such volumes anyway.
constexpr float kVolumeLimit = 1.0e9f;
}  // namespace

CBGMusic::CBGMusic(const std::string& path) { Open(path); }

CBGMusic::~CBGMusic() = default;

void CBGMusic::Open(const std::string& path)
{
    m_stream.reset();
    plat::AudioOutput* output = plat::GetAudioOutput();
    if (!output) return;
    m_stream = plat::MusicStream::Open(output->SharedMixer(), path);
}

void CBGMusic::Play(int32_t startVolume, bool loop)
{
    if (!m_stream) return;
    m_stream->SetVolume(startVolume);
    m_loop = loop ? 1 : 0;
    m_stream->SetPosition(0);
    m_stream->Run();
}

void CBGMusic::FadeVolume(int32_t durationMs, int32_t targetVolume)
{
    if (!m_stream) return;
    if (durationMs <= 0) {
        // Nothing to spread the change over: go straight to the target.
        m_fading = 0;
        m_stream->SetVolume(targetVolume);
        return;
    }
    m_fading = 1;
    m_fadeStartVolume = static_cast<float>(m_stream->Volume());
    m_fadeStartTime = plat::NowMs();
    m_fadeDuration = static_cast<float>(durationMs);
    m_fadeStep = (static_cast<float>(targetVolume) - m_fadeStartVolume) / m_fadeDuration;
}

void CBGMusic::Update()
{
    if (!m_stream) return;
    KeepLooping();
    AdvanceFade();
}

// The end of the track is found by polling once a frame; the stream keeps
// running, so setting the position back plays it again.
void CBGMusic::KeepLooping()
{
    if (m_loop != 1) return;
    if (m_stream->Position() >= m_stream->StopPosition()) m_stream->SetPosition(0);
}

// The last volume set is the one computed with the elapsed time of that
// frame, which may lie a little past the target.
void CBGMusic::AdvanceFade()
{
    if (m_fading != 1) return;
    const float elapsed = static_cast<float>(plat::NowMs() - m_fadeStartTime);
    const float volume = std::clamp(m_fadeStartVolume + m_fadeStep * elapsed, -kVolumeLimit, kVolumeLimit);
    m_stream->SetVolume(static_cast<int32_t>(volume));
    if (elapsed >= m_fadeDuration) m_fading = 0;
}
