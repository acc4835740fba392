#pragma once
// The real Windows machine: advapi32's registry behind a table of 32-bit
// handles, the Windows folder, the file system with its attributes, program
// start, shortcuts through the shell, and the restart request.
#include <map>
#include <set>
#include <string>

#include "sysaccess/platform/Platform.h"

namespace sysaccess::platform_win32 {

class Win32Platform : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) override;
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) override;
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey) override;
    long RegCloseKey(HKEY32 key) override;
    std::string windowsDirectory() override;
    bool requestRestart(std::uint32_t flags, std::uint32_t reserved) override;
    std::string findFirstFile(const std::string& pattern) override;
    std::vector<std::string> findFiles(const std::string& pattern) override;
    void deleteFile(const std::string& path) override;
    void checkDeletable(const std::string& path) override;
    std::string storedPath(const std::string& path) override;
    std::string readFile(const std::string& path) override;
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    bool removeDriverPackage(const std::string& infName) override;
    std::string programFolder() override;
    std::string currentDirectory() override;
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override;

protected:
    // The system's deletion of the subkey `subKey` of the native key `parent`,
    // with its status. A test machine overrides it to refuse as a registry
    // whose device tree belongs to the system refuses.
    virtual long deleteNativeKey(void* parent, const std::string& subKey);
    // Uninstalls a device instance through the PnP manager (SetupAPI); true
    // when the system reports it removed.
    virtual bool uninstallDevice(const std::string& instanceId);

private:
    struct OpenKey {
        void* key;         // HKEY
        std::string path;  // below HKEY_LOCAL_MACHINE, as opened
    };
    // The open key behind a handle, or null for 0 and unknown handles; the
    // root is HKEY_LOCAL_MACHINE with the empty path.
    const OpenKey* open(HKEY32 key) const;
    void* native(HKEY32 key) const;
    // After a deletion refused for rights: where the key is a leaf at or
    // below a device instance, the instance is uninstalled through the PnP
    // manager, once per instance. Success when the key is gone afterwards,
    // else the refusal's status.
    long removeThroughPnp(const OpenKey& parent, const std::string& subKey, long refused);

    std::map<HKEY32, OpenKey> keys_;
    HKEY32 next_ = 0x100;
    std::set<std::string> devicesAsked_;  // instance IDs, upper case
};

}  // namespace sysaccess::platform_win32
