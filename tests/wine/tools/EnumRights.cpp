// EnumRights: gives the keys of the device tree the rights Windows gives
// them, for the tests under Wine. Every key at and below the given key of
// HKEY_LOCAL_MACHINE (SYSTEM\CurrentControlSet\Enum unless named) gets
// SYSTEM as its owner and a DACL that denies DELETE to Everyone and allows
// the rest: an administrator may read, enumerate and write them, not delete
// them. Then every key is checked: opening it with DELETE must be refused,
// opening it with MAXIMUM_ALLOWED must not.
//
//   EnumRights [key]        exit status 0 when every key was set and checks out
//
// Wine keeps security descriptors in the running server only: the programs
// that are to meet them must run before the server ends.
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

namespace {

constexpr const char* DeviceTree = "SYSTEM\\CurrentControlSet\\Enum";

// Turns on a privilege the token holds; the administrator's token holds
// those that let an owner other than the caller be set.
void enablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) {
        ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    ::CloseHandle(token);
}

// The key and every key below it, parents first.
void collectKeys(const std::string& path, std::vector<std::string>& keys) {
    keys.push_back(path);
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    for (const std::string& child : children) collectKeys(path + "\\" + child, keys);
}

// Owner SYSTEM; Everyone: DELETE denied, every other right of a key allowed.
class DeviceTreeRights {
public:
    DeviceTreeRights() {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone_);
        ::AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system_);
        const DWORD aceSize = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(everyone_);
        acl_.resize(sizeof(ACL) + 2 * aceSize);
        ACL* acl = reinterpret_cast<ACL*>(acl_.data());
        ::InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION);
        ::AddAccessDeniedAce(acl, ACL_REVISION, DELETE, everyone_);
        ::AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone_);
        ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorOwner(&descriptor_, system_, FALSE);
        ::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
    }
    ~DeviceTreeRights() {
        ::FreeSid(everyone_);
        ::FreeSid(system_);
    }
    DeviceTreeRights(const DeviceTreeRights&) = delete;
    DeviceTreeRights& operator=(const DeviceTreeRights&) = delete;

    LONG applyTo(const std::string& path) {
        HKEY key = nullptr;
        LONG s = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC | WRITE_OWNER, &key);
        if (s != ERROR_SUCCESS) return s;
        s = ::RegSetKeySecurity(key, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &descriptor_);
        ::RegCloseKey(key);
        return s;
    }

private:
    PSID everyone_ = nullptr;
    PSID system_ = nullptr;
    std::vector<unsigned char> acl_;
    SECURITY_DESCRIPTOR descriptor_{};
};

LONG openWith(const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    const LONG s = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key);
    if (s == ERROR_SUCCESS) ::RegCloseKey(key);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : DeviceTree;
    enablePrivilege("SeRestorePrivilege");
    enablePrivilege("SeTakeOwnershipPrivilege");

    std::vector<std::string> keys;
    collectKeys(root, keys);
    DeviceTreeRights rights;
    int failures = 0;
    for (const std::string& path : keys) {
        const LONG s = rights.applyTo(path);
        if (s != ERROR_SUCCESS) {
            std::printf("cannot set the rights of %s: error %ld\n", path.c_str(), s);
            ++failures;
        }
    }
    int refused = 0, opened = 0;
    for (const std::string& path : keys) {
        const LONG del = openWith(path, DELETE);
        const LONG max = openWith(path, MAXIMUM_ALLOWED);
        if (del == ERROR_ACCESS_DENIED) ++refused;
        else std::printf("%s: opening with DELETE gave %ld, not a refusal\n", path.c_str(), del);
        if (max == ERROR_SUCCESS) ++opened;
        else std::printf("%s: opening with MAXIMUM_ALLOWED gave %ld\n", path.c_str(), max);
    }
    const int count = static_cast<int>(keys.size());
    std::printf("%d keys at and below %s: owner SYSTEM, DELETE denied to Everyone; "
                "DELETE refused on %d, opened with MAXIMUM_ALLOWED %d\n",
                count, root.c_str(), refused, opened);
    return failures == 0 && refused == count && opened == count ? 0 : 1;
}
