// OneShotRegistry is responsible for the threads that delete one-shot sounds
// when their playback ends. It keeps every such sound and thread until the
// thread has finished, so that shutdown can stop the sounds still playing and
// join their threads instead of leaving them to touch freed objects.
#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <thread>

class CSound;

class OneShotRegistry {
public:
    static OneShotRegistry& Instance();
    ~OneShotRegistry();

    // Takes ownership of a playing sound; a thread deletes it after it stops.
    void Start(CSound* sound);
    // Stops every sound still owned and joins every thread.
    void StopAll();
    // Sounds owned and not yet deleted.
    size_t Live() const;

private:
    struct Entry {
        CSound* sound = nullptr;   // null once its thread has taken it to delete
        std::thread thread;
        bool done = false;   // the thread has nothing left to do but return
    };

    OneShotRegistry() = default;
    void WaitAndDelete(Entry* entry);
    void JoinFinishedLocked();

    mutable std::mutex m_Mutex;
    std::list<Entry> m_Entries;   // nodes never move, so threads keep pointers to them
};
