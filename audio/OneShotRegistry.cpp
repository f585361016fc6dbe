#include "audio/OneShotRegistry.h"

#include <system_error>

#include "audio/CSound.h"

OneShotRegistry& OneShotRegistry::Instance()
{
    static OneShotRegistry registry;
    return registry;
}

OneShotRegistry::~OneShotRegistry() { StopAll(); }

void OneShotRegistry::Start(CSound* sound)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    JoinFinishedLocked();
    Entry& entry = m_Entries.emplace_back();
    entry.sound = sound;
    try {
        entry.thread = std::thread(&OneShotRegistry::WaitAndDelete, this, &entry);
    } catch (const std::system_error&) {
        // No thread to wait with: cut the sound short rather than leak it.
        m_Entries.pop_back();
        lock.unlock();
        delete sound;
    }
}

void OneShotRegistry::WaitAndDelete(Entry* entry)
{
    entry->sound->Buffer()->WaitUntilStopped();
    CSound* sound = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        sound = entry->sound;
        entry->sound = nullptr;
    }
    delete sound;
    std::lock_guard<std::mutex> lock(m_Mutex);
    entry->done = true;
}

void OneShotRegistry::StopAll()
{
    std::list<Entry> stopping;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        for (Entry& entry : m_Entries)
            if (entry.sound) entry.sound->Stop();
        stopping.splice(stopping.end(), m_Entries);
    }
    for (Entry& entry : stopping) entry.thread.join();
}

size_t OneShotRegistry::Live() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    size_t live = 0;
    for (const Entry& entry : m_Entries)
        if (entry.sound) ++live;
    return live;
}

void OneShotRegistry::JoinFinishedLocked()
{
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        if (!it->done) {
            ++it;
            continue;
        }
        it->thread.join();   // it only returns from here on
        it = m_Entries.erase(it);
    }
}
