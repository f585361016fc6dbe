// The sound effects: menu chimes, the title's explosion and flourishes, and
// the battle's hits, whooshes, grinding, the launcher's ratchet and the item
// sounds. All are 16-bit mono WAVs at 22050 Hz.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Synth.h"

namespace assetgen {

namespace {

using namespace synth;

constexpr int kRate = 22050;
constexpr double kDt = 1.0 / kRate;

// Fills a sound by a function of time (seconds) and sample index.
Sound Make(double seconds, const std::function<double(double t)>& fn)
{
    Sound s(kRate, seconds);
    for (size_t i = 0; i < s.samples.size(); ++i) s.samples[i] = fn(static_cast<double>(i) * kDt);
    return s;
}

// An FM bell note starting at t0.
double Bell(double t, double t0, double hz, double tau, double ratio = 3.5, double index = 2.5)
{
    double u = t - t0;
    if (u < 0) return 0;
    double env = Pluck(u, 0.002, tau);
    double mod = index * std::exp(-u / (tau * 0.4)) * Sine(hz * ratio * u);
    return env * std::sin(kTau * hz * u + mod);
}

// A metal clang: inharmonic partials with their own decays.
double Clang(double t, double hz, double tau)
{
    static const double kRatios[] = {1.0, 2.76, 5.40, 8.93, 13.34};
    static const double kLevels[] = {1.0, 0.7, 0.5, 0.35, 0.2};
    double v = 0;
    for (int k = 0; k < 5; ++k) v += kLevels[k] * std::exp(-t / (tau / (1 + k * 0.6))) * Sine(hz * kRatios[k] * t);
    return v / 2.0;
}

// Noise through a filter whose cutoff follows a curve of time.
Sound FilteredNoise(double seconds, uint64_t seed, Filter::Mode mode, double q,
                    const std::function<double(double)>& cutoff, const std::function<double(double)>& level)
{
    Rng rng(seed);
    Filter f(mode);
    return Make(seconds, [&](double t) { return level(t) * f.Process(rng.Signed(), cutoff(t), q, kRate); });
}

void Mix(Sound& into, const Sound& add, double gain = 1.0, double offset = 0)
{
    size_t start = static_cast<size_t>(offset * kRate);
    for (size_t i = 0; i < add.samples.size() && start + i < into.samples.size(); ++i)
        into.samples[start + i] += gain * add.samples[i];
}

Sound Finish(Sound s, double peak = 0.85)
{
    s.Fade(0.002, 0.02);
    s.Normalize(peak);
    return s;
}

// ------------------------------------------------------------ menus and title

Sound Move()
{
    return Finish(
        Make(0.22, [](double t) { return Bell(t, 0, 1318.5, 0.05, 2, 1.2) + 0.8 * Bell(t, 0.05, 1760, 0.07, 2, 1.2); }),
        0.7);
}

Sound System()
{
    const double notes[] = {72, 76, 79, 84};
    return Finish(Make(0.9, [&](double t) {
        double v = 0;
        for (int k = 0; k < 4; ++k) v += Bell(t, 0.045 * k, NoteHz(notes[k]), 0.25, 2.0, 1.8);
        return v * 0.4;
    }));
}

Sound Explosion()
{
    Sound s = FilteredNoise(
        1.7, 11, Filter::LowPass, 0.8, [](double t) { return 200 + 3200 * std::exp(-t / 0.25); },
        [](double t) { return Pluck(t, 0.004, 0.45); });
    Mix(s,
        Make(1.7, [](double t) { return Pluck(t, 0.003, 0.35) * Sine(30 * t + 25 * (1 - std::exp(-t / 0.1)) * 0.1); }),
        0.9);
    Rng rng(12);
    Sound crackle =
        Make(1.2, [&](double t) { return rng.Uniform() < 0.004 * std::exp(-t / 0.5) ? rng.Signed() : 0.0; });
    Mix(s, crackle, 0.8, 0.05);
    return Finish(s, 0.95);
}

Sound TextScale()
{
    return Finish(FilteredNoise(
                      0.26, 21, Filter::BandPass, 2.5, [](double t) { return 700 + 5000 * t / 0.26; },
                      [](double t) { return std::sin(3.14159 * t / 0.26); }),
                  0.6);
}

Sound TextAlpha()
{
    return Finish(Make(1.0,
                       [](double t) {
                           double env = std::sin(3.14159 * std::min(t / 1.0, 1.0));
                           double v = 0;
                           const double notes[] = {79, 83, 86, 91};
                           for (int k = 0; k < 4; ++k)
                               v += Sine(NoteHz(notes[k]) * t + 0.002 * Sine(5.5 * t + k)) *
                                    (0.6 + 0.4 * Sine(7 * t + k));
                           return env * v * 0.25;
                       }),
                  0.6);
}

Sound Kira()
{
    const double notes[] = {96, 100, 103, 108, 103};
    return Finish(Make(0.7,
                       [&](double t) {
                           double v = 0;
                           for (int k = 0; k < 5; ++k) v += Bell(t, 0.06 * k, NoteHz(notes[k]), 0.12, 3.0, 1.0);
                           return v * 0.35;
                       }),
                  0.55);
}

Sound TitleMove()
{
    Sound s = FilteredNoise(
        0.75, 31, Filter::BandPass, 3, [](double t) { return 400 + 3500 * std::pow(t / 0.75, 1.5); },
        [](double t) { return std::sin(3.14159 * t / 0.75); });
    double phase = 0;
    Mix(s, Make(0.75, [&](double t) {
            phase += (180 + 500 * t) * kDt;
            return 0.25 * std::sin(3.14159 * t / 0.75) * Saw(phase, (180 + 500 * t) * kDt);
        }));
    return Finish(s, 0.7);
}

Sound KomaMove()
{
    double phase = 0;
    Filter f(Filter::LowPass);
    return Finish(Make(1.7,
                       [&](double t) {
                           double doppler = 1.12 - 0.24 * (1 / (1 + std::exp(-(t - 0.85) * 8)));
                           double hz = 110 * doppler;
                           phase += hz * kDt;
                           double flutter = 0.6 + 0.4 * Sine(33 * t);
                           double env = std::exp(-std::pow((t - 0.85) / 0.45, 2.0));
                           return env * flutter *
                                  f.Process(Saw(phase, hz * kDt) + 0.5 * Square(phase * 2, hz * 2 * kDt), 1400, 1.2,
                                            kRate);
                       }),
                  0.6);
}

// ------------------------------------------------------------ battle

Sound GaugeUp()
{
    double phase = 0;
    return Finish(Make(0.8,
                       [&](double t) {
                           double hz = 220 + 700 * t / 0.8 + 12 * Sine(9 * t);
                           phase += hz * kDt;
                           return Adsr(t, 0.7, 0.02, 0.1, 0.7, 0.1) * 0.5 * Square(phase, hz * kDt, 0.3);
                       }),
                  0.45);
}

Sound KomaHit()
{
    Rng rng(41);
    return Finish(Make(0.7,
                       [&](double t) {
                           double click = std::exp(-t / 0.004) * rng.Signed();
                           return Clang(t, 420, 0.22) + 0.6 * Clang(t, 610, 0.12) + 0.8 * click;
                       }),
                  0.9);
}

Sound KomaAxis()
{
    Rng rng(51);
    Filter f(Filter::BandPass);
    return Finish(Make(0.36,
                       [&](double t) {
                           double wobble = 2500 + 900 * Sine(37 * t) + 400 * rng.Signed();
                           double grit = rng.Uniform() < 0.02 ? 3.0 : 1.0;
                           return Adsr(t, 0.3, 0.01, 0.05, 0.8, 0.06) *
                                  f.Process(rng.Signed() * grit, wobble, 4, kRate);
                       }),
                  0.55);
}

Sound KomaSpin()
{
    double phase = 0;
    Filter f(Filter::LowPass);
    return Finish(Make(0.65,
                       [&](double t) {
                           double hz = 180 + 420 * std::pow(t / 0.65, 0.7);
                           phase += hz * kDt;
                           double flutter = 0.7 + 0.3 * Sine(hz * 0.12 * t);
                           return Adsr(t, 0.55, 0.03, 0.1, 0.85, 0.1) * flutter *
                                  f.Process(Saw(phase, hz * kDt), 600 + 3000 * t, 2.5, kRate);
                       }),
                  0.6);
}

Sound KomaAttack()
{
    Rng rng(61);
    Filter noise(Filter::LowPass);
    double phase = 0;
    return Finish(Make(0.85,
                       [&](double t) {
                           double hz = 70 + 160 * t;
                           phase += hz * kDt;
                           double roar = noise.Process(rng.Signed(), 500 + 2500 * t, 1.5, kRate);
                           double tone = std::tanh(3 * Saw(phase, hz * kDt));
                           return Adsr(t, 0.7, 0.04, 0.2, 0.8, 0.15) * (roar * 1.4 + 0.4 * tone);
                       }),
                  0.75);
}

Sound ItemBox()
{
    Rng rng(71);
    Filter f(Filter::LowPass);
    double phase = 0;
    return Finish(Make(1.0,
                       [&](double t) {
                           double chop = std::pow(0.5 + 0.5 * Sine(18 * t), 3.0);
                           phase += 95 * kDt;
                           double hum = 0.3 * Triangle(phase);
                           return (0.8 * chop * f.Process(rng.Signed(), 900, 1.0, kRate) + hum) *
                                  Adsr(t, 0.9, 0.05, 0.1, 1, 0.1);
                       }),
                  0.5);
}

Sound ItemShoot()
{
    Rng rng(81);
    return Finish(Make(0.28,
                       [&](double t) {
                           double hz = 80 + 320 * std::exp(-t / 0.03);
                           return Pluck(t, 0.002, 0.07) * Sine(hz * t) + 0.3 * std::exp(-t / 0.01) * rng.Signed();
                       }),
                  0.75);
}

Sound ItemEffect()
{
    const double notes[] = {72, 76, 79, 84, 88};
    return Finish(Make(0.7,
                       [&](double t) {
                           double v = 0;
                           for (int k = 0; k < 5; ++k) {
                               double u = t - 0.055 * k;
                               if (u < 0) continue;
                               double hz = NoteHz(notes[k]);
                               v += Pluck(u, 0.003, k == 4 ? 0.25 : 0.08) * Square(hz * u, hz * kDt, 0.25);
                           }
                           return v * 0.3;
                       }),
                  0.6);
}

Sound ItemHit()
{
    return Finish(Make(0.32,
                       [](double t) {
                           double hz = 880 * (1 + 0.25 * std::exp(-t / 0.02));
                           return Bell(t, 0, hz, 0.09, 1.41, 2.0) + 0.4 * Pluck(t, 0.002, 0.05) * Sine(220 * t);
                       }),
                  0.7);
}

Sound ItemJump()
{
    double phase = 0;
    return Finish(Make(0.5,
                       [&](double t) {
                           double hz = 200 + 700 * std::pow(t / 0.5, 0.6) + 30 * Sine(14 * t);
                           phase += hz * kDt;
                           return Adsr(t, 0.4, 0.005, 0.05, 0.8, 0.1) * (Sine(phase) + 0.3 * Triangle(phase * 2));
                       }),
                  0.65);
}

Sound Tubazeri()
{
    Rng rng(91);
    Filter f(Filter::HighPass);
    return Finish(Make(0.22,
                       [&](double t) {
                           return Clang(t, 1250, 0.05) * 0.8 +
                                  0.5 * std::exp(-t / 0.03) * f.Process(rng.Signed(), 4000, 1, kRate);
                       }),
                  0.75);
}

Sound KomaShoot()
{
    Sound s = FilteredNoise(
        0.9, 101, Filter::BandPass, 1.5, [](double t) { return 3000 * std::exp(-t / 0.3) + 300; },
        [](double t) { return Pluck(t, 0.01, 0.25); });
    Rng rng(102);
    Mix(s, Make(0.05, [&](double t) { return std::exp(-t / 0.006) * rng.Signed(); }), 1.2);
    Mix(s, Make(0.5, [](double t) { return Pluck(t, 0.002, 0.1) * Sine((60 + 200 * std::exp(-t / 0.02)) * t); }), 0.8);
    return Finish(s, 0.9);
}

// Clicks of a ratchet: short resonant ticks 28 times a second.
Sound RailRoll()
{
    Rng rng(111);
    Filter f(Filter::BandPass);
    const double rate = 28;
    return Finish(Make(0.5,
                       [&](double t) {
                           double since = std::fmod(t, 1 / rate);
                           double tick = std::exp(-since / 0.003) * (rng.Signed() * 0.5 + 1.0);
                           return f.Process(tick, 2800 + 300 * Sine(3 * t), 6, kRate) * 3;
                       }),
                  0.6);
}

// ------------------------------------------------------------ result

Sound GameOverText()
{
    return Finish(Make(0.38,
                       [](double t) {
                           return Pluck(t, 0.003, 0.12) *
                                  (Sine((55 + 60 * std::exp(-t / 0.04)) * t) + 0.4 * Clang(t, 180, 0.1));
                       }),
                  0.75);
}

Sound StageClearText()
{
    return Finish(Make(0.16, [](double t) { return Bell(t, 0, 1567.98, 0.05, 2, 1.5); }), 0.6);
}

Sound Continue()
{
    Sound s = FilteredNoise(
        0.75, 121, Filter::BandPass, 2, [](double t) { return 500 + 3000 * t; },
        [](double t) { return 0.6 * std::sin(3.14159 * t / 0.75); });
    const double chord[] = {57, 60, 64};
    Mix(s,
        Make(0.75,
             [&](double t) {
                 double v = 0;
                 for (double n : chord) v += Adsr(t, 0.5, 0.01, 0.2, 0.5, 0.2) * Saw(NoteHz(n) * t, NoteHz(n) * kDt);
                 return v * 0.2;
             }),
        1.0, 0.1);
    return Finish(s, 0.7);
}

}   // namespace

bool WriteSoundEffects(const DataDir& dir)
{
    struct Effect {
        const char* file;
        Sound (*make)();
    };
    static const Effect kEffects[] = {
        {"sound/Move.wav", Move},
        {"sound/System.wav", System},
        {"sound/title/Explosion.wav", Explosion},
        {"sound/title/TextScall.wav", TextScale},
        {"sound/title/TextAlpha.wav", TextAlpha},
        {"sound/title/Kira.wav", Kira},
        {"sound/title/TitleMove.wav", TitleMove},
        {"sound/title/KomaMove.wav", KomaMove},
        {"sound/game/KiaiGageUP.wav", GaugeUp},
        {"sound/game/KomaHit.wav", KomaHit},
        {"sound/game/KomaAxis.wav", KomaAxis},
        {"sound/game/KomaSpin.wav", KomaSpin},
        {"sound/game/KomaAtack.wav", KomaAttack},
        {"sound/game/ItemBox.wav", ItemBox},
        {"sound/game/ItemShoot.wav", ItemShoot},
        {"sound/game/ItemEffect.wav", ItemEffect},
        {"sound/game/ItemHit.wav", ItemHit},
        {"sound/game/ItemJump.wav", ItemJump},
        {"sound/game/Tubazeri.wav", Tubazeri},
        {"sound/game/KomaShoot.wav", KomaShoot},
        {"sound/game/RallRoll.wav", RailRoll},
        {"sound/game/result/GameOverText.wav", GameOverText},
        {"sound/game/result/StageClearText.wav", StageClearText},
        {"sound/game/result/Continue.wav", Continue},
    };
    bool ok = true;
    for (const Effect& e : kEffects) ok = WriteWav(dir.Path(e.file), e.make()) && ok;
    return ok;
}

}   // namespace assetgen
