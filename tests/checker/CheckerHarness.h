#pragma once
// One checker run on a temporary machine image: the driver disk as A:, a
// system.reg built from a key list, a fake list of the host's USB hubs, and
// the program on the headless display.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checker/Busprobe.h"
#include "fixtures/PrefixBuilder.h"
#include "fixtures/RecordingPlatform.h"
#include "fixtures/SystemReg.h"
#include "sysaccess/drivers/headless/HeadlessDriver.h"
#include "sysaccess/platform/prefix/PrefixPlatform.h"

namespace checker_test {

inline const char* const Contacts =
    "\"Tarnwick Devices, Inc.\",\"12 Mill Lane, Suite 4\",\"+1 555 0100\",\"+1 555 0101\","
    "\"support@tarnwick.example\"\r\n";

class CheckerRun {
public:
    CheckerRun() { fixtures::writeHostFile(usb_ / ".keep", ""); }

    fixtures::Prefix prefix;

    void registry(const std::vector<std::string>& keys) {
        fixtures::writeHostFile(prefix.path() / "system.reg", fixtures::systemRegText(keys));
    }
    // A root hub the host kernel lists.
    void hostHub(const std::string& entry) { fixtures::writeHostFile(usb_ / entry / "busnum", "1\n"); }

    // Starts Busprobe as if run from `programFolder` with `cwd` current.
    void start(const std::string& programFolder = "A:\\", const std::string& cwd = "C:\\") {
        sysaccess::platform_prefix::PrefixOptions o;
        o.prefix = prefix.path();
        o.usbDevicesDir = usb_.path();
        o.wineServerRoot = usb_ / "no-wine-server";
        o.programFile = prefix.host(programFolder) / "BUSPROBE.EXE";
        o.currentDir = prefix.host(cwd);
        o.allowLaunch = false;
        machine_ = std::make_unique<sysaccess::platform_prefix::PrefixPlatform>(o);
        recorder_ = std::make_unique<fixtures::RecordingPlatform>(*machine_);
        guard_.emplace(*recorder_);
        driver.start([this] { busprobe::run(driver); });
    }

    fixtures::RecordingPlatform& calls() { return *recorder_; }
    sysaccess::ui::Form& window(const std::string& name) {
        auto* f = driver.form(name);
        if (!f) throw std::runtime_error("window not loaded: " + name);
        return *f;
    }
    template <class C>
    C& control(const std::string& form, const std::string& name) {
        return dynamic_cast<C&>(*window(form).control(name));
    }

private:
    fixtures::TempDir usb_;
    std::unique_ptr<sysaccess::platform_prefix::PrefixPlatform> machine_;
    std::unique_ptr<fixtures::RecordingPlatform> recorder_;
    std::optional<sysaccess::PlatformGuard> guard_;

public:
    // Last, so the program thread ends before the machine goes.
    sysaccess::drivers::HeadlessDriver driver;
};

}  // namespace checker_test
