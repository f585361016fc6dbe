// CBGMusic is responsible for one music track as a task: it plays an MP3 file,
// keeps it looping if asked by polling for its end once a frame, and fades its
// volume linearly over a given time. Owners add it at priority 1000 under a
// name ("bgm", "PowerSetBGM", "GameBGM", "ClashBGM") so that others can find
// and fade it; deleting the task silences the track at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Task.h"
#include "platform/audio/MusicStream.h"

constexpr int32_t PRIORITY_BGM = 1000;

class CBGMusic : public CGameObject {
public:
    explicit CBGMusic(const std::string& path);   // opens the file; the music does not start
    ~CBGMusic() override;

    // Releases any track held and opens another; a missing or broken file, or
    // no audio output, leaves the task silent.
    void Open(const std::string& path);
    // Sets the start volume (hundredths of a decibel, 0 full, -10000 silent)
    // and the loop flag, rewinds and runs.
    void Play(int32_t startVolume, bool loop);
    // Starts a linear fade from the current volume to the target over the
    // duration, replacing any fade running.
    void FadeVolume(int32_t durationMs, int32_t targetVolume);
    // Keeps a looping track looping and advances the fade.
    void Update() override;

    // The track, for reports and tests; null when silent.
    const plat::MusicStream* Stream() const { return m_Stream.get(); }

private:
    void KeepLooping();
    void AdvanceFade();

    std::unique_ptr<plat::MusicStream> m_Stream;
    int32_t m_Loop = 0;             // 1: rewind at the end
    int32_t m_Fading = 0;           // 1: a fade is running
    uint32_t m_FadeStartTime = 0;   // the clock when the fade began, ms
    float m_FadeDuration = 0.0f;    // ms
    float m_FadeStartVolume = 0.0f;
    float m_FadeStep = 0.0f;   // volume units per ms
};
