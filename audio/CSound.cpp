#include "audio/CSound.h"

#include <cstdio>

#include "audio/OneShotRegistry.h"
#include "audio/WaveFile.h"
#include "platform/AudioOutput.h"
#include "platform/DataRoot.h"
#include "platform/RefusedFiles.h"
#include "platform/audio/SoundBuffer.h"

CSound::CSound(const std::string& path) { Load(path); }

CSound::CSound(const CSound* source)
{
    if (source) Duplicate(*source);
}

CSound::~CSound() = default;

bool CSound::Load(const std::string& path)
{
    // The file, its RIFF/WAVE header, the PCM format and the samples.
    std::FILE* file = std::fopen(plat::DataPath(path).c_str(), "rb");
    if (!file) {
        plat::RefusedFiles::Report(path, plat::RefusedFiles::WhyCannotOpen());
        return false;
    }
    WaveData wave;
    const char* why = nullptr;
    const bool read = ReadWaveFile(file, wave, &why);
    std::fclose(file);
    if (!read) {
        plat::RefusedFiles::Report(path, why);
        return false;
    }

    // A new buffer in place of any held.
    plat::AudioOutput* output = plat::GetAudioOutput();
    if (!output) return false;
    auto samples = plat::SoundBuffer::FromPcm(wave.format, wave.samples.data(), wave.samples.size(), path);
    if (!samples) return false;
    m_Buffer = std::make_unique<plat::Voice>(output->SharedMixer(), std::move(samples));
    return true;
}

bool CSound::Duplicate(const CSound& source)
{
    m_Buffer.reset();
    if (!plat::GetAudioOutput() || !source.m_Buffer) return false;
    m_Buffer = source.m_Buffer->Duplicate();
    return true;
}

void CSound::Play()
{
    if (!m_Buffer) {
        // A silent one shot has nothing to wait for.
        if (m_AutoDelete) delete this;
        return;
    }
    m_Buffer->SetPosition(0);
    m_Buffer->Play();
    if (m_AutoDelete && !m_OneShotStarted) {
        m_OneShotStarted = true;
        OneShotRegistry::Instance().Start(this);
    }
}

void CSound::EnableAutoDelete() { m_AutoDelete = true; }

bool CSound::SetVolume(int32_t hundredthsDb) { return m_Buffer && m_Buffer->SetVolume(hundredthsDb); }

bool CSound::SetPan(int32_t hundredthsDb) { return m_Buffer && m_Buffer->SetPan(hundredthsDb); }

void CSound::Stop()
{
    if (m_Buffer) m_Buffer->Stop();
}

bool CSound::IsPlaying() const { return m_Buffer && m_Buffer->IsPlaying(); }

void CSound::StopAllOneShots() { OneShotRegistry::Instance().StopAll(); }

size_t CSound::LiveOneShots() { return OneShotRegistry::Instance().Live(); }
