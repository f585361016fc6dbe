// Mixer is responsible for turning every playing voice and music stream into
// one stereo float signal at the output rate. An audio output pulls from it:
// the SDL output on its own audio thread, the null output when the game tells
// it how far its clock has moved. One mutex guards the mixer and every source
// attached to it; the game thread holds it only for a short setting change.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

class SoundBuffer;

constexpr uint32_t kDefaultOutputRate = 44100;
constexpr int kOutputChannels = 2;

// What a report of the music shows for one open stream.
struct MusicInfo {
    std::string name;
    int32_t volume = 0;
    bool playing = false;
};

// The two groups of sources the player sets a volume for.
enum class MixBus { Effects, Music };

// Anything the mixer can pull samples from. Every call comes with the mixer's
// mutex held.
class MixerSource {
public:
    virtual ~MixerSource() = default;
    // Adds this source's next frames into the interleaved stereo output.
    // False when it has finished; the mixer then detaches it.
    virtual bool MixAdd(float* out, size_t frames, uint32_t outputRate) = 0;
    // Streams of music describe themselves for reports.
    virtual bool DescribeMusic(MusicInfo&) const { return false; }
    virtual MixBus Bus() const { return MixBus::Effects; }
};

class Mixer {
public:
    explicit Mixer(uint32_t outputRate = kDefaultOutputRate);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    uint32_t OutputRate() const { return m_OutputRate; }

    // Overwrites out (frames x 2 floats) with the mix of every attached
    // source, softly limited.
    void Mix(float* out, size_t frames);

    // The gain (0 to 1) the mix applies to every source of a bus, over the
    // sources' own volumes; 1 for both at first.
    void SetBusGain(MixBus bus, float gain);
    float BusGain(MixBus bus) const;
    // Holds the music down (a paused game) or lets it back up.
    void SetMusicDucked(bool ducked);
    bool MusicDucked() const;
    static constexpr float kDuckGain = 0.25f;   // about 12 dB down

    // The mutex that guards the mixer and its sources.
    std::mutex& Mutex() const { return m_Mutex; }

    // With the mutex held: start or stop pulling from a source. Attaching a
    // source twice keeps one entry.
    void AttachLocked(MixerSource* source);
    void DetachLocked(MixerSource* source);
    size_t SourceCount() const;

    // The log of started sound effects, for the headless runner's trace: off
    // until enabled; holds at most a few hundred names between two takes.
    void EnableStartLog(bool enable);
    // With the mutex held: notes that a sound effect started.
    void NoteStartedLocked(const SoundBuffer& buffer);
    // The names of the sounds started since the last call.
    std::vector<std::string> TakeStartedSounds();
    // Every open music stream.
    std::vector<MusicInfo> MusicSnapshot() const;

    // Voices wait for their end on the mixer's mutex with this.
    std::condition_variable& StopSignal() { return m_StopSignal; }

private:
    static constexpr size_t kStartedLogLimit = 256;

    const uint32_t m_OutputRate;
    mutable std::mutex m_Mutex;
    std::condition_variable m_StopSignal;
    std::vector<MixerSource*> m_Sources;
    float m_EffectsGain = 1.0f;
    float m_MusicGain = 1.0f;
    bool m_MusicDucked = false;
    std::vector<float> m_MusicScratch;   // the music bus, before its gain
    bool m_StartLogEnabled = false;
    std::vector<std::string> m_Started;
};

}   // namespace plat
