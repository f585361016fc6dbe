#include "tools/assetgen/Synth.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include <lame/lame.h>

namespace assetgen::synth {

namespace {

// Smooths the jump of a naive waveform (polyBLEP).
double Blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

std::vector<int16_t> Pcm16(const Sound& sound)
{
    std::vector<int16_t> pcm(sound.samples.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(sound.samples[i], -1.0, 1.0) * 32767.0));
    return pcm;
}

}   // namespace

double Saw(double phase, double dt)
{
    double t = phase - std::floor(phase);
    return 2 * t - 1 - Blep(t, dt);
}

double Square(double phase, double dt, double width)
{
    double t = phase - std::floor(phase);
    double v = t < width ? 1.0 : -1.0;
    v += Blep(t, dt);
    double t2 = t + (1 - width);
    v -= Blep(t2 - std::floor(t2), dt);
    return v;
}

double Adsr(double t, double length, double attack, double decay, double sustain, double release)
{
    if (t < 0) return 0;
    auto held = [&](double u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1 - (1 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < length) return held(t);
    double r = t - length;
    return r < release ? held(length) * (1 - r / release) : 0;
}

double Filter::Process(double in, double cutoffHz, double q, double rate)
{
    // 2 sin(pi fc / 2 rate) by its series: the cutoff stays below a fifth of the rate, where it is exact enough.
    const double x = 3.141592653589793 * std::min(cutoffHz, rate * 0.2) / (2 * rate), x2 = x * x;
    const double f = 2 * x * (1 - x2 / 6 * (1 - x2 / 20));
    double damp = 1.0 / std::max(q, 0.5);
    double out = 0;
    for (int pass = 0; pass < 2; ++pass) {
        m_Low += f * m_Band;
        double high = in - m_Low - damp * m_Band;
        m_Band += f * high;
        out = m_Mode == LowPass ? m_Low : m_Mode == BandPass ? m_Band : high;
    }
    return out;
}

Reverb::Reverb(int rate, double size, double damping) : m_Feedback(0.7 + 0.28 * size), m_Damping(damping)
{
    for (double ms : {29.7, 37.1, 41.1, 43.7})
        m_Combs.push_back({std::vector<double>(static_cast<size_t>(ms * rate / 1000 * (0.6 + size))), 0, 0});
    for (double ms : {5.0, 1.7})
        m_Allpasses.push_back({std::vector<double>(static_cast<size_t>(ms * rate / 1000)), 0, 0});
}

double Reverb::Process(double in)
{
    double sum = 0;
    for (Delay& d : m_Combs) {
        double out = d.buf[d.pos];
        d.state = out * (1 - m_Damping) + d.state * m_Damping;
        d.buf[d.pos] = in + d.state * m_Feedback;
        d.pos = (d.pos + 1) % d.buf.size();
        sum += out;
    }
    double x = sum * 0.25;
    for (Delay& d : m_Allpasses) {
        double buffered = d.buf[d.pos];
        double out = -x + buffered;
        d.buf[d.pos] = x + buffered * 0.5;
        d.pos = (d.pos + 1) % d.buf.size();
        x = out;
    }
    return x;
}

void Sound::Normalize(double peak)
{
    double top = 1e-9;
    for (double s : samples) top = std::max(top, std::fabs(s));
    const double drive = 1.3;
    for (double& s : samples) s = std::tanh(drive * s / top) / std::tanh(drive) * peak;
}

void Sound::Fade(double inSeconds, double outSeconds)
{
    size_t in = static_cast<size_t>(inSeconds * rate), out = static_cast<size_t>(outSeconds * rate);
    for (size_t i = 0; i < in && i < samples.size(); ++i) samples[i] *= static_cast<double>(i) / in;
    for (size_t i = 0; i < out && i < samples.size(); ++i)
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / out;
}

bool WriteWav(const std::string& path, const Sound& sound)
{
    std::vector<int16_t> pcm = Pcm16(sound);
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
    std::vector<uint8_t> head(44);
    auto put16 = [&](size_t at, uint32_t v) { head[at] = v & 0xff, head[at + 1] = (v >> 8) & 0xff; };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xffff), put16(at + 2, v >> 16); };
    auto tag = [&](size_t at, const char* s) { std::copy(s, s + 4, head.begin() + static_cast<long>(at)); };
    tag(0, "RIFF");
    put32(4, 36 + dataBytes);
    tag(8, "WAVE");
    tag(12, "fmt ");
    put32(16, 16);   // PCM format chunk
    put16(20, 1);    // integer PCM
    put16(22, 1);    // mono
    put32(24, static_cast<uint32_t>(sound.rate));
    put32(28, static_cast<uint32_t>(sound.rate) * 2);   // bytes per second
    put16(32, 2);                                       // block align
    put16(34, 16);                                      // bits per sample
    tag(36, "data");
    put32(40, dataBytes);
    FilePtr f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return false;
    bool ok = std::fwrite(head.data(), 1, head.size(), f.get()) == head.size();
    for (int16_t s : pcm) {   // little-endian whatever the host
        uint8_t b[2] = {static_cast<uint8_t>(s & 0xff), static_cast<uint8_t>((s >> 8) & 0xff)};
        ok = ok && std::fwrite(b, 1, 2, f.get()) == 2;
    }
    return ok;
}

void WarmUpEncoder()
{
    lame_global_flags* lame = lame_init();
    if (!lame) return;
    lame_set_num_channels(lame, 1);
    lame_set_in_samplerate(lame, 44100);
    lame_init_params(lame);
    lame_close(lame);
}

bool WriteMp3(const std::string& path, const Sound& sound, int kbps)
{
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame) return false;
    lame_set_num_channels(lame.get(), 1);
    lame_set_in_samplerate(lame.get(), sound.rate);
    lame_set_out_samplerate(lame.get(), sound.rate);
    lame_set_mode(lame.get(), MONO);
    lame_set_brate(lame.get(), kbps);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);   // the info frame lets decoders drop the encoder's padding
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) return false;

    std::vector<int16_t> pcm = Pcm16(sound);
    std::vector<unsigned char> mp3;
    std::vector<unsigned char> chunk(1 << 16);
    const size_t block = 8192;
    for (size_t at = 0; at < pcm.size(); at += block) {
        int n = static_cast<int>(std::min(block, pcm.size() - at));
        int got = lame_encode_buffer(lame.get(), pcm.data() + at, pcm.data() + at, n, chunk.data(),
                                     static_cast<int>(chunk.size()));
        if (got < 0) return false;
        mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + got);
    }
    int got = lame_encode_flush(lame.get(), chunk.data(), static_cast<int>(chunk.size()));
    if (got < 0) return false;
    mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + got);
    // The info frame is the first frame of the stream; fill it in now that the length is known.
    size_t tagBytes = lame_get_lametag_frame(lame.get(), chunk.data(), chunk.size());
    if (tagBytes > 0 && tagBytes <= mp3.size())
        std::copy(chunk.begin(), chunk.begin() + static_cast<long>(tagBytes), mp3.begin());
    FilePtr f(std::fopen(path.c_str(), "wb"), std::fclose);
    return f && std::fwrite(mp3.data(), 1, mp3.size(), f.get()) == mp3.size();
}

}   // namespace assetgen::synth
