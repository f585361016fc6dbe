// The five music tracks: title, stage select, aiming, battle and clash. Each
// is composed here from a chord progression, a bass line, arpeggios, drums
// and a lead built from two one-bar motifs, synthesised at 44.1 kHz mono and
// encoded to MP3. A track is an exact number of bars whose note tails and
// reverb wrap round to its start, so it loops without a seam.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/assetgen/Generators.h"
#include "tools/assetgen/Synth.h"

namespace assetgen {

namespace {

using namespace synth;

constexpr int kRate = 44100;
constexpr double kDt = 1.0 / kRate;
constexpr int kSteps = 16;   // sixteenth notes in a 4/4 bar
constexpr int kMp3Kbps = 112;

enum class Voice { Kick, Snare, Hat, OpenHat, Clap, Tom, Bass, Lead, SoftLead, Pad, Arp, Bell, Brass };

// Part switches of a section.
enum Part : unsigned {
    kDrums = 1,
    kHats = 2,
    kBass = 4,
    kPad = 8,
    kArp = 16,
    kLead = 32,
    kBrass = 64,
    kBellLead = 128,
    kRoll = 256
};

struct MotifNote {
    int step, length;   // sixteenths
    double tone;        // chord-tone index (3 = root an octave up); +0.5 = the scale step above
};
using Motif = std::vector<MotifNote>;

struct Section {
    std::vector<const char*> chords;   // one per bar
    unsigned parts;
    std::string leadPlan;   // one motif letter per bar ('A', 'B', '-' for rest)
};

struct Song {
    const char* file;
    double bpm;
    int keyRoot;   // MIDI note of the key's tonic
    bool minor;
    std::vector<Section> sections;
    const char* kick;   // sixteen steps: x hit, . rest
    const char* snare;
    const char* hats;   // x closed, o open
    const char* bass;   // chord-tone digits, . rest
    const char* arp;
    Motif motifA, motifB;
    int leadOctave;   // MIDI note near which the lead's chords sit
    uint64_t seed;
};

// ------------------------------------------------------------ harmony

struct Chord {
    int root;   // pitch class 0..11
    bool minor;
};

Chord ParseChord(const char* name)
{
    static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
    int pc = kLetters[name[0] - 'A'];
    int i = 1;
    if (name[i] == '#')
        pc += 1, ++i;
    else if (name[i] == 'b')
        pc -= 1, ++i;
    return {(pc + 12) % 12, name[i] == 'm'};
}

// The chord's tones, index 0 the root nearest below 'near', counting up through the triad.
double ChordTone(Chord c, double index, int near, int keyRoot, bool minorKey)
{
    static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11}, kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
    int base = near - ((near - c.root) % 12 + 12) % 12;
    int whole = static_cast<int>(std::floor(index));
    static const int kTriadMajor[3] = {0, 4, 7}, kTriadMinor[3] = {0, 3, 7};
    int octave = whole >= 0 ? whole / 3 : -((2 - whole) / 3);
    int k = whole - octave * 3;
    int note = base + 12 * octave + (c.minor ? kTriadMinor[k] : kTriadMajor[k]);
    if (index - whole > 0.25) {   // the next note of the key's scale above the chord tone
        const int* scale = minorKey ? kMinor : kMajor;
        for (int step = 1; step <= 2; ++step) {
            int pc = ((note + step - keyRoot) % 12 + 12) % 12;
            if (std::find(scale, scale + 7, pc) != scale + 7) return note + step;
        }
    }
    return note;
}

// ------------------------------------------------------------ voices

struct NoteSound {
    std::vector<double> samples;
    double reverbSend;
};

// One note of a voice: its samples from the note's start, release included.
NoteSound Render(Voice v, double midi, double length, double velocity, Rng& rng)
{
    const double hz = NoteHz(midi);
    double phase = 0, phase2 = 0, phase3 = 0;
    Filter filter(Filter::LowPass), band(Filter::BandPass), high(Filter::HighPass);
    double tail = 0.2, send = 0.0;
    switch (v) {
        case Voice::Kick: tail = 0.4; break;
        case Voice::Snare: tail = 0.3, send = 0.15; break;
        case Voice::Hat: tail = 0.08; break;
        case Voice::OpenHat: tail = 0.35; break;
        case Voice::Clap: tail = 0.3, send = 0.2; break;
        case Voice::Tom: tail = 0.35, send = 0.1; break;
        case Voice::Bass: tail = length + 0.06; break;
        case Voice::Lead:
        case Voice::SoftLead: tail = length + 0.25, send = 0.3; break;
        case Voice::Pad: tail = length + 0.8, send = 0.5; break;
        case Voice::Arp: tail = 0.35, send = 0.35; break;
        case Voice::Bell: tail = 1.2, send = 0.4; break;
        case Voice::Brass: tail = length + 0.15, send = 0.25; break;
    }
    std::vector<double> out(static_cast<size_t>(tail * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) * kDt;
        double s = 0;
        switch (v) {
            case Voice::Kick: {
                double f = 45 + 120 * std::exp(-t / 0.03);
                phase += f * kDt;
                s = std::exp(-t / 0.22) * Sine(phase) + 0.25 * std::exp(-t / 0.002) * rng.Signed();
                break;
            }
            case Voice::Snare:
                phase += 190 * kDt;
                s = 0.45 * std::exp(-t / 0.05) * Sine(phase) +
                    std::exp(-t / 0.09) * band.Process(rng.Signed(), 2600, 0.8, kRate) * 1.4;
                break;
            case Voice::Hat: s = std::exp(-t / 0.014) * high.Process(rng.Signed(), 7500, 0.7, kRate); break;
            case Voice::OpenHat: s = std::exp(-t / 0.11) * high.Process(rng.Signed(), 7000, 0.7, kRate); break;
            case Voice::Clap: {
                double bursts = 0;
                for (double b : {0.0, 0.011, 0.022}) bursts += t >= b ? std::exp(-(t - b) / 0.006) : 0;
                s = (bursts + 0.6 * std::exp(-t / 0.07)) * band.Process(rng.Signed(), 1500, 1.2, kRate);
                break;
            }
            case Voice::Tom: {
                double f = hz * (1 + 0.5 * std::exp(-t / 0.04));
                phase += f * kDt;
                s = std::exp(-t / 0.18) * Sine(phase);
                break;
            }
            case Voice::Bass: {
                phase += hz * kDt;
                phase2 += hz * 0.5 * kDt;
                double raw = Saw(phase, hz * kDt) * 0.7 + Sine(phase2) * 0.8;
                s = Adsr(t, length, 0.004, 0.12, 0.75, 0.05) *
                    filter.Process(raw, 180 + 1600 * std::exp(-t / 0.07), 2.2, kRate);
                break;
            }
            case Voice::Lead: {
                double vib = t > 0.15 ? 0.25 * std::sin(kTau * 5.5 * t) * std::min(1.0, (t - 0.15) * 4) : 0;
                double f = NoteHz(midi + vib);
                phase += f * kDt;
                phase2 += f * 1.004 * kDt;
                double raw = Square(phase, f * kDt, 0.4 + 0.1 * Sine(0.7 * t)) + Saw(phase2, f * kDt) * 0.6;
                s = Adsr(t, length, 0.01, 0.15, 0.75, 0.12) * filter.Process(raw, 3800, 1.0, kRate) * 0.5;
                break;
            }
            case Voice::SoftLead: {
                double vib = t > 0.2 ? 0.2 * std::sin(kTau * 5 * t) : 0;
                double f = NoteHz(midi + vib);
                phase += f * kDt;
                s = Adsr(t, length, 0.02, 0.2, 0.7, 0.2) * (Triangle(phase) * 0.8 + Sine(phase * 2) * 0.15);
                break;
            }
            case Voice::Pad: {
                double sum = 0;
                for (double det : {-0.12, 0.0, 0.12}) {
                    double f = NoteHz(midi + det);
                    double& ph = det < 0 ? phase : det > 0 ? phase2 : phase3;
                    ph += f * kDt;
                    sum += Saw(ph, f * kDt);
                }
                s = Adsr(t, length, 0.35, 0.5, 0.8, 0.7) *
                    filter.Process(sum / 3, 1300 + 400 * Sine(0.25 * t), 0.9, kRate);
                break;
            }
            case Voice::Arp:
                phase += hz * kDt;
                s = Pluck(t, 0.002, 0.11) *
                    filter.Process(Square(phase, hz * kDt, 0.3), 700 + 3500 * std::exp(-t / 0.06), 1.4, kRate);
                break;
            case Voice::Bell: {
                double mod = 2.2 * std::exp(-t / 0.25) * Sine(hz * 3.5 * t);
                s = Pluck(t, 0.002, 0.45) * std::sin(kTau * hz * t + mod);
                break;
            }
            case Voice::Brass: {
                phase += hz * kDt;
                phase2 += hz * 1.006 * kDt;
                double cutoff = 600 + 2400 * std::min(1.0, t / 0.05) * (0.6 + 0.4 * std::exp(-t / 0.2));
                s = Adsr(t, length, 0.03, 0.2, 0.7, 0.1) *
                    filter.Process(Saw(phase, hz * kDt) + Saw(phase2, hz * kDt), cutoff, 1.3, kRate) * 0.5;
                break;
            }
        }
        out[i] = s * velocity;
    }
    return {std::move(out), send};
}

struct VoiceMix {
    Voice voice;
    double gain;
};

double Gain(Voice v)
{
    switch (v) {
        case Voice::Kick: return 0.95;
        case Voice::Snare: return 0.55;
        case Voice::Hat: return 0.22;
        case Voice::OpenHat: return 0.18;
        case Voice::Clap: return 0.4;
        case Voice::Tom: return 0.5;
        case Voice::Bass: return 0.5;
        case Voice::Lead: return 0.32;
        case Voice::SoftLead: return 0.4;
        case Voice::Pad: return 0.16;
        case Voice::Arp: return 0.16;
        case Voice::Bell: return 0.22;
        case Voice::Brass: return 0.22;
    }
    return 0.3;
}

// ------------------------------------------------------------ arrangement

class Arranger {
public:
    Arranger(const Song& song, int bars)
        : m_StepSeconds(60.0 / song.bpm / 4),
          m_Length(static_cast<size_t>(std::lround(bars * kSteps * m_StepSeconds * kRate))),
          m_Dry(m_Length, 0.0),
          m_Send(m_Length, 0.0),
          m_Rng(song.seed)
    {
    }

    size_t Length() const { return m_Length; }

    // Adds a note; whatever runs past the end of the loop continues at its start.
    void Note(Voice v, double step, double lengthSteps, double midi, double velocity)
    {
        double jitter = (v == Voice::Hat || v == Voice::OpenHat) ? m_Rng.Range(-0.04, 0.04) : 0.0;
        double vel = velocity * (1 + 0.08 * m_Rng.Signed());
        NoteSound n = Render(v, midi, lengthSteps * m_StepSeconds, vel, m_Rng);
        size_t start = static_cast<size_t>(std::lround((step + jitter) * m_StepSeconds * kRate + m_Length)) % m_Length;
        double g = Gain(v);
        for (size_t i = 0; i < n.samples.size(); ++i) {
            size_t at = (start + i) % m_Length;
            m_Dry[at] += g * n.samples[i];
            m_Send[at] += g * n.reverbSend * n.samples[i];
        }
    }

    // The mix with reverb run twice round the loop, so its tail wraps too.
    Sound Mixdown()
    {
        Reverb reverb(kRate, 0.6, 0.35);
        for (int pass = 0; pass < 2; ++pass)
            for (size_t i = 0; i < m_Length; ++i) {
                double wet = reverb.Process(m_Send[i]);
                if (pass == 1) m_Dry[i] += 0.6 * wet;
            }
        Sound s(kRate);
        s.samples = m_Dry;
        s.Normalize(0.9);
        return s;
    }

private:
    double m_StepSeconds;
    size_t m_Length;
    std::vector<double> m_Dry, m_Send;
    Rng m_Rng;
};

int TotalBars(const Song& song)
{
    int bars = 0;
    for (const Section& s : song.sections) bars += static_cast<int>(s.chords.size());
    return bars;
}

void Compose(const Song& song, Arranger& a)
{
    int bar = 0;
    for (const Section& sec : song.sections) {
        for (size_t b = 0; b < sec.chords.size(); ++b, ++bar) {
            const Chord ch = ParseChord(sec.chords[b]);
            const double at = bar * kSteps;
            const bool lastOfSection = b + 1 == sec.chords.size();
            auto tone = [&](double index, int near) { return ChordTone(ch, index, near, song.keyRoot, song.minor); };
            for (int s = 0; s < kSteps; ++s) {
                if (sec.parts & kDrums) {
                    if (song.kick[s] == 'x') a.Note(Voice::Kick, at + s, 1, 36, 1.0);
                    if (song.snare[s] == 'x') a.Note(Voice::Snare, at + s, 1, 38, 1.0);
                }
                if (sec.parts & (kDrums | kHats)) {
                    if (song.hats[s] == 'x') a.Note(Voice::Hat, at + s, 1, 42, s % 4 == 0 ? 1.0 : 0.7);
                    if (song.hats[s] == 'o') a.Note(Voice::OpenHat, at + s, 2, 46, 0.9);
                }
                if ((sec.parts & kRoll) && lastOfSection && s >= 8) a.Note(Voice::Snare, at + s, 1, 38, 0.4 + 0.05 * s);
                if ((sec.parts & kBass) && song.bass[s] != '.') {
                    int next = s + 1;
                    while (next < kSteps && song.bass[next] == '.') ++next;
                    a.Note(Voice::Bass, at + s, (next - s) * 0.85, tone(song.bass[s] - '0', song.keyRoot - 12), 1.0);
                }
                if ((sec.parts & kArp) && song.arp[s] != '.')
                    a.Note(Voice::Arp, at + s, 1, tone(song.arp[s] - '0', song.leadOctave), 0.9);
            }
            if (sec.parts & kPad)
                for (int k = 0; k < 3; ++k) a.Note(Voice::Pad, at, kSteps, tone(k, song.keyRoot + 3), 1.0);
            if (sec.parts & kBrass)
                for (double s : {0.0, 6.0, 10.0})
                    for (int k = 0; k < 3; ++k) a.Note(Voice::Brass, at + s, 2, tone(k, song.keyRoot + 5), 0.9);
            char plan = b < sec.leadPlan.size() ? sec.leadPlan[b] : '-';
            if ((sec.parts & (kLead | kBellLead)) && plan != '-') {
                const Motif& m = (plan == 'A' || plan == 'a') ? song.motifA : song.motifB;
                // Lower-case letters answer the motif an octave lower.
                int near = song.leadOctave + ((plan == 'a' || plan == 'b') ? -12 : 0);
                Voice lead = (sec.parts & kBellLead) ? Voice::Bell : (song.bpm < 110 ? Voice::SoftLead : Voice::Lead);
                for (const MotifNote& n : m) a.Note(lead, at + n.step, n.length * 0.9, tone(n.tone, near), 1.0);
            }
        }
    }
}

// ------------------------------------------------------------ the tracks

std::vector<Song> Songs()
{
    std::vector<Song> songs;
    // Title: bright and heroic, D major.
    songs.push_back(
        {"bgm/Title.mp3",
         132,
         62,
         false,
         {{{"D", "A", "Bm", "G"}, kHats | kBass | kPad | kArp, "----"},
          {{"D", "A", "Bm", "G", "D", "A", "G", "A"}, kDrums | kBass | kPad | kArp | kLead, "ABAB ABAB"},
          {{"G", "A", "F#m", "Bm", "G", "A", "D", "D"}, kDrums | kBass | kPad | kLead | kRoll, "BaBa BAB-"},
          {{"D", "A", "Bm", "G", "D", "A", "G", "A"}, kDrums | kBass | kPad | kArp | kLead | kBrass, "ABAB ABAB"},
          {{"Em", "A", "F#m", "Bm"}, kHats | kBass | kPad | kBellLead, "AbAB"},
          {{"G", "A", "D", "A"}, kDrums | kBass | kPad | kArp | kRoll, "----"}},
         "x.......x.x.....",
         "....x.......x...",
         "x.x.x.x.x.x.x.xo",
         "0.0.0.0.0.0.2.3.",
         "0123012301230123",
         {{0, 2, 2}, {2, 2, 1}, {4, 2, 2}, {6, 2, 3}, {8, 6, 4}, {14, 2, 3}},
         {{0, 4, 3}, {4, 2, 2.5}, {6, 2, 2}, {8, 3, 1}, {11, 1, 1.5}, {12, 4, 2}},
         67,
         101});
    // Stage select: calm and expectant, A minor.
    songs.push_back({"bgm/StageSelect.mp3",
                     100,
                     57,
                     true,
                     {{{"Am", "F", "C", "G"}, kPad | kArp, "----"},
                      {{"Am", "F", "C", "G", "Am", "F", "G", "E"}, kHats | kBass | kPad | kArp | kLead, "A-B-A-BA"},
                      {{"Dm", "Am", "F", "C", "Dm", "Am", "E", "E"}, kDrums | kBass | kPad | kBellLead, "ABAB ABA-"},
                      {{"Am", "F", "C", "G", "Am", "F", "G", "E"}, kDrums | kBass | kPad | kArp | kLead, "ABAB AB--"}},
                     "x.........x.....",
                     "....x.......x...",
                     "..x...x...x...x.",
                     "0.......0...2...",
                     "0.1.2.3.2.1.2.1.",
                     {{0, 4, 2}, {4, 2, 1}, {6, 2, 0.5}, {8, 8, 0}},
                     {{0, 2, 3}, {2, 2, 2}, {4, 4, 1.5}, {8, 4, 2}, {12, 4, 1}},
                     65,
                     202});
    // Aiming: tense, ticking, building, E minor.
    songs.push_back({"bgm/PowerSet.mp3",
                     140,
                     52,
                     true,
                     {{{"Em", "Em", "C", "D"}, kHats | kBass, "----"},
                      {{"Em", "C", "D", "B", "Em", "C", "D", "B"}, kDrums | kBass | kArp | kBrass, "--------"},
                      {{"Am", "Em", "C", "B", "Am", "Em", "C", "B"}, kDrums | kBass | kPad | kLead, "A-A-B-B-"},
                      {{"Em", "C", "D", "B", "Em", "C", "D", "B"}, kDrums | kBass | kArp | kLead | kPad, "ABAB ABAB"},
                      {{"C", "D", "Em", "Em", "C", "D", "B", "B"}, kDrums | kBass | kArp | kBrass | kRoll, "----A-B-"},
                      {{"Em", "C", "D", "B"}, kHats | kBass | kPad, "----"}},
                     "x...x...x...x...",
                     "............x...",
                     "xxxxxxxxxxxxxxox",
                     "0000000000002233",
                     "0.2.1.2.0.2.1.3.",
                     {{0, 3, 0}, {3, 3, 1}, {6, 2, 2}, {8, 6, 3}, {14, 2, 2.5}},
                     {{0, 2, 3}, {2, 2, 2.5}, {4, 2, 2}, {6, 2, 1}, {8, 8, 2}},
                     69,
                     303});
    // Battle: driving, G minor.
    songs.push_back(
        {"bgm/Game.mp3",
         156,
         55,
         true,
         {{{"Gm", "Gm", "Eb", "F"}, kDrums | kBass, "----"},
          {{"Gm", "Eb", "F", "D", "Gm", "Eb", "F", "D"}, kDrums | kBass | kPad | kLead, "ABAB ABAB"},
          {{"Eb", "F", "Gm", "Gm", "Cm", "D", "Gm", "D"}, kDrums | kBass | kArp | kBrass | kRoll, "--------"},
          {{"Gm", "Eb", "F", "D", "Gm", "Eb", "F", "D"}, kDrums | kBass | kPad | kArp | kLead, "ABAB AbAB"},
          {{"Bb", "F", "Gm", "Eb", "Bb", "F", "D", "D"}, kDrums | kBass | kPad | kBellLead | kRoll, "A-B-A-B-"},
          {{"Gm", "Eb", "F", "D", "Gm", "Eb", "F", "D"}, kDrums | kBass | kArp | kLead | kBrass, "BABA BABA"}},
         "x...x...x...x...",
         "....x.......x...",
         "..x...x...x...xo",
         "0.3.0.3.0.3.2.3.",
         "0120120120120123",
         {{0, 2, 3}, {2, 2, 2}, {4, 2, 3}, {6, 2, 4}, {8, 4, 3}, {12, 2, 2}, {14, 2, 1.5}},
         {{0, 6, 2}, {6, 2, 1.5}, {8, 2, 1}, {10, 2, 2}, {12, 4, 0}},
         67,
         404});
    // Clash: frantic, C minor.
    songs.push_back(
        {"bgm/Clash.mp3",
         172,
         48,
         true,
         {{{"Cm", "Ab", "Bb", "G", "Cm", "Ab", "Bb", "G"}, kDrums | kBass | kArp | kBrass, "--------"},
          {{"Cm", "Ab", "Bb", "G", "Cm", "Ab", "Bb", "G"}, kDrums | kBass | kArp | kLead, "ABAB ABAB"},
          {{"Fm", "Cm", "Ab", "G", "Fm", "Cm", "Db", "G"}, kDrums | kBass | kPad | kLead | kRoll, "BaBa BABA"},
          {{"Cm", "Ab", "Bb", "G", "Cm", "Ab", "Bb", "G"}, kDrums | kBass | kArp | kLead | kBrass, "ABAB ABAB"},
          {{"Ab", "Bb", "Cm", "Cm", "Ab", "Bb", "G", "G"}, kDrums | kBass | kArp | kBellLead | kRoll, "A-A-B-B-"},
          {{"Cm", "Ab", "Bb", "G", "Cm", "Ab", "Bb", "G"}, kDrums | kBass | kArp | kLead | kPad, "BABA BABA"}},
         "x..x..x.x..x..x.",
         "....x..x....x..x",
         "xxoxxxoxxxoxxxox",
         "0303030303032323",
         "0123321001233210",
         {{0, 1, 3}, {1, 1, 2}, {2, 1, 3}, {3, 1, 4}, {4, 4, 5}, {8, 2, 4}, {10, 2, 3}, {12, 4, 2}},
         {{0, 2, 2}, {2, 2, 2.5}, {4, 2, 3}, {6, 2, 2}, {8, 8, 1}},
         65,
         505});
    // Plans are written with a space every four bars for reading; drop it.
    for (Song& s : songs)
        for (Section& sec : s.sections)
            sec.leadPlan.erase(std::remove(sec.leadPlan.begin(), sec.leadPlan.end(), ' '), sec.leadPlan.end());
    return songs;
}

}   // namespace

int MusicTrackCount() { return 5; }

bool WriteMusicTrack(const DataDir& dir, int track)
{
    std::vector<Song> songs = Songs();
    if (track < 0 || track >= static_cast<int>(songs.size())) return false;
    const Song& song = songs[track];
    Arranger arranger(song, TotalBars(song));
    Compose(song, arranger);
    return WriteMp3(dir.Path(song.file), arranger.Mixdown(), kMp3Kbps);
}

}   // namespace assetgen
