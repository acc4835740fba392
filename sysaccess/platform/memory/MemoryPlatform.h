#pragma once
// A machine that exists only in memory, for tests of the layer and the
// toolkit: a registry tree made with createKey, files held as bytes by their
// Windows path (case-insensitive), a settable Windows folder, and records of
// what would have been started or restarted.
#include <map>
#include <string>
#include <vector>

#include "sysaccess/platform/Platform.h"
#include "sysaccess/registry/Registry.h"

namespace sysaccess::platform_memory {

class MemoryPlatform : public Platform {
public:
    explicit MemoryPlatform(registry::Family family = registry::Family::Win9x);

    registry::Registry& registry() { return registry_; }
    std::string windowsFolder = "C:\\WINDOWS";
    std::string programFolderPath = "A:\\";
    std::string currentFolder = "C:\\";
    unsigned codePage = 1252;
    // Files by full Windows path; names compare case-insensitively.
    void putFile(const std::string& path, std::string bytes);
    bool hasFile(const std::string& path) const;

    std::vector<std::string> started;     // programs started
    std::vector<std::string> shortcuts;   // shortcut contents opened
    std::vector<std::uint32_t> restarts;  // restart flags asked for
    std::vector<std::uint32_t> restartReasons;  // the reserved values passed with them

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) override;
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) override;
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey) override;
    long RegCloseKey(HKEY32 key) override;
    std::string windowsDirectory() override { return windowsFolder; }
    bool requestRestart(std::uint32_t flags, std::uint32_t reserved) override;
    std::string findFirstFile(const std::string& pattern) override;
    void deleteFile(const std::string& path) override;
    std::string readFile(const std::string& path) override;
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    // No driver store here: the files are deleted by the caller.
    bool removeDriverPackage(const std::string&) override { return false; }
    std::string programFolder() override { return programFolderPath; }
    std::string currentDirectory() override { return currentFolder; }
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override { return codePage; }

private:
    std::string absolute(const std::string& path) const;

    registry::Registry registry_;
    std::map<std::string, std::pair<std::string, std::string>> files_;  // upper-case path -> (path, bytes)
};

}  // namespace sysaccess::platform_memory
