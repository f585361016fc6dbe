#include "platform/DeviceResource.h"

#include <atomic>
#include <mutex>

namespace plat {

namespace {
std::atomic<uint64_t> g_nextId{1};
std::mutex g_listenerMutex;
DeviceResourceListener* g_listener = nullptr;
}   // namespace

DeviceResource::DeviceResource() : m_Id(g_nextId++) {}

DeviceResource::~DeviceResource()
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    if (g_listener) g_listener->ResourceReleased(m_Id);
}

void SetDeviceResourceListener(DeviceResourceListener* listener)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    g_listener = listener;
}

}   // namespace plat
