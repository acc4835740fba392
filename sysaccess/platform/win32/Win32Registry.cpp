// The registry of the win32 platform: advapi32's keys behind a table of
// 32-bit handles, opened with the rights the caller is allowed, and the PnP
// manager for device keys that only the system may delete.
#include "sysaccess/platform/win32/Win32Platform.h"

#include "sysaccess/platform/KeyPath.h"

// After the project's headers: windows.h defines macros named like them.
#include <windows.h>

#include "sysaccess/platform/win32/DeviceRemoval.h"

namespace sysaccess::platform_win32 {

namespace {

// The programs' handle for the root; windows.h names the native one alike.
constexpr HKEY32 RootHandle = 0x80000002u;

// What a refused deletion found when it looked at the key again.
enum class KeyState { Gone, Leaf, HasSubkeys, Unknown };

KeyState stateOf(HKEY parent, const std::string& subKey) {
    HKEY key = nullptr;
    const LONG s = ::RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key);
    // A parent that went with the device reports itself deleted.
    if (s == ERROR_FILE_NOT_FOUND || s == ERROR_KEY_DELETED) return KeyState::Gone;
    if (s != ERROR_SUCCESS) return KeyState::Unknown;
    char name[256];
    const LONG e = ::RegEnumKeyA(key, 0, name, sizeof name);
    ::RegCloseKey(key);
    if (e == ERROR_NO_MORE_ITEMS) return KeyState::Leaf;
    return e == ERROR_SUCCESS || e == ERROR_MORE_DATA ? KeyState::HasSubkeys : KeyState::Unknown;
}

std::string upperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

Win32Platform::Win32Platform() = default;

Win32Platform::~Win32Platform() {
    for (auto& [handle, open] : keys_) ::RegCloseKey(static_cast<HKEY>(open.key));
}

const Win32Platform::OpenKey* Win32Platform::open(HKEY32 key) const {
    static const OpenKey Root{HKEY_LOCAL_MACHINE, {}};
    if (key == RootHandle) return &Root;
    auto it = keys_.find(key);
    return it == keys_.end() ? nullptr : &it->second;
}

void* Win32Platform::native(HKEY32 key) const {
    const OpenKey* k = open(key);
    return k ? k->key : nullptr;
}

long Win32Platform::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    if (!result) return status::InvalidParameter;
    *result = 0;
    const OpenKey* parent = open(key);
    if (!parent) return status::InvalidHandle;
    // As RegOpenKeyA opens: with whatever the caller is allowed. Asking for
    // a right it lacks (DELETE in the device tree, which only the system may
    // change) would make a key that is there look absent.
    HKEY opened = nullptr;
    const LONG s = ::RegOpenKeyExA(static_cast<HKEY>(parent->key), subKey.c_str(), 0, MAXIMUM_ALLOWED, &opened);
    if (s != ERROR_SUCCESS) return s;
    const HKEY32 handle = next_;
    next_ += 4;
    keys_[handle] = OpenKey{opened, joinKeyPath(parent->path, subKey, ::GetACP())};
    *result = handle;
    return status::Success;
}

long Win32Platform::RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) {
    HKEY k = static_cast<HKEY>(native(key));
    if (!k) return status::InvalidHandle;
    if (index < 0) return status::InvalidParameter;
    if (!name) return status::InvalidParameter;
    return ::RegEnumKeyA(k, static_cast<DWORD>(index), name, capacity);
}

long Win32Platform::deleteNativeKey(void* parent, const std::string& subKey) {
    return ::RegDeleteKeyA(static_cast<HKEY>(parent), subKey.c_str());
}

bool Win32Platform::uninstallDevice(const std::string& instanceId) { return uninstallDeviceInstance(instanceId); }

long Win32Platform::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    const OpenKey* parent = open(key);
    if (!parent) return status::InvalidHandle;
    // An empty name would delete the open key itself.
    if (subKey.empty()) return status::InvalidParameter;
    const long s = deleteNativeKey(parent->key, subKey);
    if (s != ERROR_ACCESS_DENIED) return s;
    return removeThroughPnp(*parent, subKey, s);
}

long Win32Platform::removeThroughPnp(const OpenKey& parent, const std::string& subKey, long refused) {
    const std::string instance = deviceInstanceOf(joinKeyPath(parent.path, subKey, ::GetACP()), ::GetACP());
    if (instance.empty()) return refused;
    // The system refuses a key that has subkeys whoever asks: that refusal
    // stays. A leaf refused was refused for rights.
    HKEY native = static_cast<HKEY>(parent.key);
    if (stateOf(native, subKey) != KeyState::Leaf) return refused;
    if (!devicesAsked_.insert(upperAscii(instance)).second) return refused;
    uninstallDevice(instance);
    // The system deletes the device's keys itself; what it left stays refused.
    return stateOf(native, subKey) == KeyState::Gone ? status::Success : refused;
}

long Win32Platform::RegCloseKey(HKEY32 key) {
    if (key == RootHandle) return status::Success;
    auto it = keys_.find(key);
    if (it == keys_.end()) return status::InvalidHandle;
    const LONG s = ::RegCloseKey(static_cast<HKEY>(it->second.key));
    keys_.erase(it);
    return s;
}

}  // namespace sysaccess::platform_win32
