// The executable's resources, as LoadIconW and LoadCursorW find them.

#include <mutex>
#include <new>

#include "platform/device.h"
#include "platform/src/host.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/resources.h"
#include "platform/src/termination.h"
#include "platform/src/trace.h"

namespace {

constexpr uintptr_t kFirstResourceHandle = 0x2000;

struct ResourceTable {
    std::mutex mutex;
    const device::Resource* entries = nullptr;  // the program's own table
    size_t count = 0;
};

ResourceTable& Resources() {
    static ResourceTable* table = new ResourceTable;
    return *table;
}

// A handle for resource `name` of `type` in the executable `instance`, or null.
uintptr_t Load(device::ResourceType type, HINSTANCE instance, LPCWSTR name) {
    if (instance != platform::ModuleInstance() || name == nullptr || !IS_INTRESOURCE(name)) {
        return 0;
    }
    const device::Resource* found =
        device::FindResource(type, static_cast<int>(reinterpret_cast<uintptr_t>(name)));
    if (found == nullptr) {
        return 0;
    }
    ResourceTable& table = Resources();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(table.mutex);
    return kFirstResourceHandle + static_cast<uintptr_t>(found - table.entries);
}

}  // namespace

namespace platform {

const device::Resource* IconGroupOf(HICON icon) {
    const uintptr_t handle = reinterpret_cast<uintptr_t>(icon);
    ResourceTable& table = Resources();
    const TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(table.mutex);
    if (handle < kFirstResourceHandle || handle - kFirstResourceHandle >= table.count) {
        return nullptr;
    }
    const device::Resource* found = &table.entries[handle - kFirstResourceHandle];
    return found->type == device::ResourceType::kIconGroup ? found : nullptr;
}

const device::Resource* ExecutableIcon() {
    ResourceTable& table = Resources();
    const TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(table.mutex);
    const device::Resource* lowest = nullptr;
    for (size_t i = 0; i < table.count; ++i) {
        const device::Resource& entry = table.entries[i];
        if (entry.type == device::ResourceType::kIconGroup &&
            (lowest == nullptr || entry.id < lowest->id)) {
            lowest = &entry;
        }
    }
    return lowest;
}

}  // namespace platform

namespace device {

void SetResources(const Resource* table, size_t count) {
    ResourceTable& resources = Resources();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(resources.mutex);
    resources.entries = table;
    resources.count = table != nullptr ? count : 0;
}

const Resource* FindResource(ResourceType type, int id) {
    ResourceTable& resources = Resources();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(resources.mutex);
    for (size_t i = 0; i < resources.count; ++i) {
        if (resources.entries[i].type == type && resources.entries[i].id == id) {
            return &resources.entries[i];
        }
    }
    return nullptr;
}

}  // namespace device

extern "C" {

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) try {
    const platform::TerminationDeferred deferred;
    const uintptr_t handle = Load(device::ResourceType::kIconGroup, instance, name);
    platform::TraceLine("LoadIconW(instance=%s, name=%s) = %s", platform::Hex(instance).c_str(),
                        platform::Quoted(name).c_str(), platform::Hex(handle).c_str());
    return reinterpret_cast<HICON>(handle);
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("LoadIconW");
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) try {
    const platform::TerminationDeferred deferred;
    const uintptr_t handle = Load(device::ResourceType::kCursor, instance, name);
    platform::TraceLine("LoadCursorW(instance=%s, name=%s) = %s", platform::Hex(instance).c_str(),
                        platform::Quoted(name).c_str(), platform::Hex(handle).c_str());
    return reinterpret_cast<HCURSOR>(handle);
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("LoadCursorW");
}

}  // extern "C"
