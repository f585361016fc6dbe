// DeviceResource is responsible for the hand-over of decoded data to the
// graphics device: pictures and meshes are decoded on whichever thread loads
// them and kept in memory; the device makes its own objects for them on the
// main thread at first use, and frees those objects when the resource dies.
#pragma once

#include <cstdint>

namespace plat {

class DeviceResource {
public:
    DeviceResource();
    virtual ~DeviceResource();
    DeviceResource(const DeviceResource&) = delete;
    DeviceResource& operator=(const DeviceResource&) = delete;

    // A number unique to this resource for the life of the process; the device
    // keys its objects by it, so a reused address never finds stale objects.
    uint64_t Id() const { return m_Id; }
    // Bumped whenever the data change, so the device rebuilds its objects.
    uint32_t Version() const { return m_Version; }

protected:
    void Touch() { ++m_Version; }

private:
    uint64_t m_Id;
    uint32_t m_Version = 0;
};

// The device side: told (from any thread) that a resource died.
class DeviceResourceListener {
public:
    virtual ~DeviceResourceListener() = default;
    virtual void ResourceReleased(uint64_t id) = 0;
};

// Installs the listener that hears of released resources (null: nobody).
void SetDeviceResourceListener(DeviceResourceListener* listener);

}   // namespace plat
