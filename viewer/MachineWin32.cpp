// The running Windows system, read through the programs' own platform. Its
// registry has the NT layout: a key with subkeys cannot be deleted.
#include "sysaccess/platform/win32/Win32Platform.h"
#include "viewer/Machine.h"

namespace busview {

namespace {

class WindowsMachine : public Machine {
public:
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override { return false; }

private:
    sysaccess::platform_win32::Win32Platform platform_;
};

}  // namespace

std::unique_ptr<Machine> openThisMachine() { return std::make_unique<WindowsMachine>(); }

}  // namespace busview
