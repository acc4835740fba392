#pragma once
// The real Windows machine: advapi32's registry behind a table of 32-bit
// handles, the Windows folder, the file system with its attributes, program
// start, shortcuts through the shell, and the restart request.
#include <map>
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
    std::string readFile(const std::string& path) override;
    std::unique_ptr<files::InputFile> openInput(const std::string& path) override;
    void writeFile(const std::string& path, const std::string& bytes) override;
    bool removeDriverPackage(const std::string& infName) override;
    std::string programFolder() override;
    std::string currentDirectory() override;
    void startProgram(const std::string& path, int windowStyle) override;
    void openShortcut(const std::string& content) override;
    unsigned ansiCodePage() override;

private:
    // The native key behind a handle, or null for 0 and unknown handles.
    void* native(HKEY32 key) const;

    std::map<HKEY32, void*> keys_;  // handle -> HKEY
    HKEY32 next_ = 0x100;
};

}  // namespace sysaccess::platform_win32
