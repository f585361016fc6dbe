// CSound is responsible for one sound effect: the samples of a WAV file in a
// voice of the installed audio output. To let an effect overlap itself a task
// makes a duplicate that shares the samples and has its own position, volume
// and pan. A duplicate made for one shot can delete itself when its playback
// ends: a small waiting thread does it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Task.h"
#include "platform/audio/Voice.h"

class CSound : public CGameObject {
public:
    CSound() = default;                         // silent until loaded or duplicated
    explicit CSound(const std::string& path);   // then Load
    explicit CSound(const CSound* source);      // a duplicate; silent when the source is
    ~CSound() override;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Reads a WAV file into a new buffer, releasing any buffer held once the
    // file is accepted. False, with the old buffer kept, for a missing file,
    // a file that is not RIFF/WAVE with the format chunk first, one without a
    // data tag, with a format other than 8 or 16 bit PCM, or one that ends
    // before its samples do; false too when there is no audio output.
    bool Load(const std::string& path);
    // Releases any buffer held and shares the source's samples, taking its
    // volume and pan. False (and silent) when the source is silent or there is
    // no audio output.
    bool Duplicate(const CSound& source);

    // Plays once from the beginning, restarting a sound still playing. After
    // EnableAutoDelete the first Play also hands the object to a waiting
    // thread that deletes it when the playback ends; a sound without a buffer
    // is deleted at once.
    void Play();
    // Marks this object as a one shot; call Play once afterwards and never
    // touch the object again.
    void EnableAutoDelete();

    // The owner's adjustments; a sound without a buffer ignores them.
    bool SetVolume(int32_t hundredthsDb);   // 0 full, -10000 silent
    bool SetPan(int32_t hundredthsDb);      // -10000 left only .. 10000 right only
    void Stop();
    bool IsPlaying() const;
    plat::Voice* Buffer() const { return m_Buffer.get(); }

    // Shutdown: stops every one-shot sound still playing and waits for their
    // threads, which delete them. Safe to call at any time, and more than once.
    static void StopAllOneShots();
    // One-shot sounds handed to their threads and not yet deleted.
    static size_t LiveOneShots();

private:
    std::unique_ptr<plat::Voice> m_Buffer;
    bool m_AutoDelete = false;       // EnableAutoDelete was called
    bool m_OneShotStarted = false;   // a waiting thread owns this object
};
