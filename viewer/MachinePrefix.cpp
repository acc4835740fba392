// The prefix the programs would run on, read through their own platform.
#include "sysaccess/platform/prefix/PrefixPlatform.h"
#include "viewer/Machine.h"

namespace busview {

namespace {

class PrefixMachine : public Machine {
public:
    PrefixMachine() : platform_(options()) {}
    sysaccess::Platform& platform() override { return platform_; }
    bool deletesSubtrees() override {
        return platform_.registry().family() == sysaccess::registry::Family::Win9x;
    }

private:
    static sysaccess::platform_prefix::PrefixOptions options() {
        auto o = sysaccess::platform_prefix::PrefixOptions::fromEnvironment();
        o.allowLaunch = false;  // nothing is started on a preview's behalf
        return o;
    }
    sysaccess::platform_prefix::PrefixPlatform platform_;
};

}  // namespace

std::unique_ptr<Machine> openThisMachine() { return std::make_unique<PrefixMachine>(); }

}  // namespace busview
