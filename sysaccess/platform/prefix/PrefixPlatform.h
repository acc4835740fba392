#pragma once
// The machine of a Wine-style prefix on Linux: drives through the
// dosdevices links, HKEY_LOCAL_MACHINE in system.reg with the host's USB root
// hubs shown under the hardware tree, programs started natively or through
// Wine, shortcuts handed to the desktop.
#include <filesystem>
#include <memory>
#include <optional>

#include "sysaccess/files/FileSystem.h"
#include "sysaccess/platform/Platform.h"
#include "sysaccess/registry/Registry.h"

namespace sysaccess::platform_prefix {

struct PrefixOptions {
    std::filesystem::path prefix;                                 // the image's folder
    std::filesystem::path usbDevicesDir = "/sys/bus/usb/devices";  // empty: no hubs
    std::filesystem::path wineServerRoot;                         // empty: Wine's default
    std::filesystem::path programFile;                            // empty: this process's executable
    std::optional<std::filesystem::path> currentDir;              // empty: this process's
    bool allowLaunch = true;  // false: starting programs and shortcuts only records them (tests)
    // Wine's restart program; nullopt: "wineboot" found on the PATH; an
    // empty path: none, so no restart can be carried out.
    std::optional<std::filesystem::path> wineboot;

    // WINEPREFIX, else ~/.wine.
    static PrefixOptions fromEnvironment();
};

class PrefixPlatform : public Platform {
public:
    explicit PrefixPlatform(PrefixOptions options);
    ~PrefixPlatform() override;

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) override;
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) override;
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey) override;
    long RegCloseKey(HKEY32 key) override;
    long checkKeyDeletable(HKEY32 key, const std::string& subKey) override {
        return registry_->checkDeletion(key, subKey);
    }
    void checkKeyWriteBack() override { registry_->checkWriteBack(); }
    std::string windowsDirectory() override;
    // The reason has no meaning to Wine's restart program.
    bool requestRestart(std::uint32_t flags, std::uint32_t reserved) override;
    std::string findFirstFile(const std::string& pattern) override;
    std::vector<std::string> findFiles(const std::string& pattern) override;
    void deleteFile(const std::string& path) override;
    void checkDeletable(const std::string& path) override;
    std::string storedPath(const std::string& path) override;
    std::string readFile(const std::string& path) override;
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    // A prefix keeps no driver store: the files are deleted by the caller.
    bool removeDriverPackage(const std::string&) override { return false; }
    std::string programFolder() override;
    std::string currentDirectory() override;
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override;

    registry::Registry& registry() { return *registry_; }
    files::FileSystem& fileSystem() { return *files_; }

    // What was started, for tests that do not launch (allowLaunch false).
    struct Launch {
        std::vector<std::string> argv;
    };
    const std::vector<Launch>& launches() const { return launches_; }

private:
    // Starts argv detached; false when it could not be started.
    bool spawnDetached(const std::vector<std::string>& argv);
    std::string windowsPathOf(const std::filesystem::path& hostFolder) const;

    PrefixOptions options_;
    std::unique_ptr<registry::Registry> registry_;
    std::unique_ptr<files::FileSystem> files_;
    std::vector<Launch> launches_;
};

// Host path of a program on the PATH, or empty.
std::filesystem::path findOnPath(const std::string& name);

}  // namespace sysaccess::platform_prefix
