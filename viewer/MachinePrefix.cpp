// The prefix the programs would run on, through their own platform.
#include "sysaccess/platform/prefix/PrefixPlatform.h"
#include "viewer/Machine.h"

namespace busview {

namespace {

class PrefixMachine : public Machine {
public:
    explicit PrefixMachine(MachineUse use) : platform_(options(use)) {}
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override {
        return platform_.registry().family() == sysaccess::registry::Family::Win9x;
    }

private:
    // A removal runs over the prefix as the remover window does; nothing is
    // started on a preview's behalf.
    static sysaccess::platform_prefix::PrefixOptions options(MachineUse use) {
        auto o = sysaccess::platform_prefix::PrefixOptions::fromEnvironment();
        if (use == MachineUse::Preview) o.allowLaunch = false;
        return o;
    }
    sysaccess::platform_prefix::PrefixPlatform platform_;
};

}  // namespace

std::unique_ptr<Machine> openThisMachine(MachineUse use) { return std::make_unique<PrefixMachine>(use); }

}  // namespace busview
