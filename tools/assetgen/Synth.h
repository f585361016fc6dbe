// Synth holds the sound-making parts shared by the effects and the music:
// oscillators, envelopes, filters, a reverb, and the writers for RIFF WAV
// (16-bit PCM, "fmt " first) and MP3 (libmp3lame).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/Rng.h"

namespace assetgen::synth {

constexpr double kTau = 6.283185307179586;

inline double NoteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Band-limited-ish oscillators on a phase in cycles.
inline double Sine(double phase) { return std::sin(kTau * phase); }
double Saw(double phase, double dt);   // dt: phase step per sample (for the edge smoothing)
double Square(double phase, double dt, double width = 0.5);
inline double Triangle(double phase)
{
    double f = phase - std::floor(phase);
    return 4 * std::fabs(f - 0.5) - 1;
}

// Attack-decay-sustain-release level at time t (seconds) of a note held for length seconds.
double Adsr(double t, double length, double attack, double decay, double sustain, double release);
// Exponential decay from 1 with the given time constant, after a short attack.
inline double Pluck(double t, double attack, double tau)
{
    return t < attack ? t / attack : std::exp(-(t - attack) / tau);
}

// A state-variable filter (Chamberlin form, run twice per sample for stability).
class Filter {
public:
    enum Mode { LowPass, BandPass, HighPass };
    explicit Filter(Mode mode = LowPass) : m_Mode(mode) {}
    double Process(double in, double cutoffHz, double q, double rate);

private:
    Mode m_Mode;
    double m_Low = 0, m_Band = 0;
};

// A small Schroeder reverb (four combs, two all-passes).
class Reverb {
public:
    Reverb(int rate, double size, double damping);
    double Process(double in);

private:
    struct Delay {
        std::vector<double> buf;
        size_t pos = 0;
        double state = 0;
    };
    std::vector<Delay> m_Combs, m_Allpasses;
    double m_Feedback, m_Damping;
};

// Mono samples at a rate, in [-1, 1].
struct Sound {
    int rate = 22050;
    std::vector<double> samples;

    explicit Sound(int sampleRate, double seconds = 0)
        : rate(sampleRate), samples(static_cast<size_t>(seconds * sampleRate), 0.0)
    {
    }
    double Seconds() const { return static_cast<double>(samples.size()) / rate; }
    // Scales so the loudest sample reaches peak (a soft limiter keeps it round).
    void Normalize(double peak);
    // Short fades at both ends so the sound starts and stops without a click.
    void Fade(double inSeconds, double outSeconds);
};

bool WriteWav(const std::string& path, const Sound& sound);
bool WriteMp3(const std::string& path, const Sound& sound, int kbps);
// Sets up the encoder's shared tables once, before encoders run on several threads.
void WarmUpEncoder();

}   // namespace assetgen::synth
