// The running Windows system, read through the programs' own platform. Its
// registry has the NT layout: a key with subkeys cannot be deleted.
#include "sysaccess/platform/win32/Win32Platform.h"
#include "sysaccess/platform/win32/Wow64.h"
#include "viewer/Machine.h"

namespace busview {

namespace {

using sysaccess::platform_win32::NativeFileSystem;

// The platform with the native system's files: a 32-bit Busview on 64-bit
// Windows without its 64-bit twin previews what the 64-bit remover would
// find (system32, not SysWOW64). The registry keys it reads are under
// SYSTEM, which both views share.
class NativeFilesPlatform : public sysaccess::platform_win32::Win32Platform {
public:
    std::string findFirstFile(const std::string& pattern) override {
        NativeFileSystem native;
        return Win32Platform::findFirstFile(pattern);
    }
    std::vector<std::string> findFiles(const std::string& pattern) override {
        NativeFileSystem native;
        return Win32Platform::findFiles(pattern);
    }
    void deleteFile(const std::string& path) override {
        NativeFileSystem native;
        Win32Platform::deleteFile(path);
    }
    void checkDeletable(const std::string& path) override {
        NativeFileSystem native;
        Win32Platform::checkDeletable(path);
    }
    std::string storedPath(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::storedPath(path);
    }
    std::string readFile(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::readFile(path);
    }
    std::unique_ptr<sysaccess::files::InputFile> openInput(const std::string& path) override {
        NativeFileSystem native;
        return Win32Platform::openInput(path);
    }
    void writeFile(const std::string& path, const std::string& bytes) override {
        NativeFileSystem native;
        Win32Platform::writeFile(path, bytes);
    }
};

class WindowsMachine : public Machine {
public:
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override { return false; }

private:
    NativeFilesPlatform platform_;
};

}  // namespace

std::unique_ptr<Machine> openThisMachine() { return std::make_unique<WindowsMachine>(); }

}  // namespace busview
