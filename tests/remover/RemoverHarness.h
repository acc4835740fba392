#pragma once
// One remover run on a temporary machine image: Windows folders on C:, the
// driver disk as A: with the removal script, a system.reg built from a key
// list, and the program on the headless display.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/PrefixBuilder.h"
#include "fixtures/RecordingPlatform.h"
#include "fixtures/SystemReg.h"
#include "remover/Busclean.h"
#include "remover/Uninstall.h"
#include "sysaccess/drivers/headless/HeadlessDriver.h"
#include "sysaccess/platform/prefix/PrefixPlatform.h"

namespace remover_test {

// A removal script with every field in its place, one field a line.
struct Script {
    std::array<std::string, 7> info{"A:\\BUSPROBE.EXE", "USB Adapter Driver Removal", "Version 1.0",
                                    "Tarnwick Devices Inc.", "Tel +1 555 0100", "Fax +1 555 0101",
                                    "support@tarnwick.example"};
    std::string shortcut1 = "[InternetShortcut]";
    std::string shortcut2 = "URL=http://www.tarnwick.example/";
    std::string linkSwitch = "1";
    std::string device = "USB to Serial Adapter";
    std::string spare;
    std::string thrownAway = "x";
    std::vector<std::string> matches{"VID_0E4B", "PID_02"};  // the marker follows unless noMarker
    bool noMarker = false;
    std::vector<std::string> removal;     // entries 1-100
    std::string lostFields;               // put into fields 116-125
    int dropLastFields = 0;               // write fewer than 145 fields

    std::vector<std::string> fields() const {
        std::vector<std::string> f(info.begin(), info.end());
        for (const auto* s : {&shortcut1, &shortcut2, &linkSwitch, &device, &spare, &thrownAway}) f.push_back(*s);
        std::vector<std::string> m = matches;
        if (!noMarker) m.push_back("==========");
        m.resize(22);
        f.insert(f.end(), m.begin(), m.end());
        std::vector<std::string> r = removal;
        r.resize(100);
        f.insert(f.end(), r.begin(), r.begin() + 80);
        for (int i = 0; i < 10; ++i) f.push_back(lostFields);
        f.insert(f.end(), r.begin() + 80, r.end());
        f.resize(f.size() - static_cast<std::size_t>(dropLastFields));
        return f;
    }
    std::string text() const {
        std::string t;
        for (const auto& field : fields()) {
            const bool quote = field.find_first_of(",\"") != std::string::npos || (!field.empty() && field[0] == ' ');
            t += (quote ? "\"" + field + "\"" : field) + "\r\n";
        }
        return t;
    }
};

class RemoverRun {
public:
    RemoverRun() {
        for (const char* f : {"C:\\windows\\system", "C:\\windows\\system32\\drivers", "C:\\windows\\inf",
                              "C:\\windows\\inf\\other"}) {
            prefix.folder(f);
        }
        fixtures::writeHostFile(usb_ / ".keep", "");
    }

    fixtures::Prefix prefix;

    void script(const Script& s) { prefix.file("A:\\Unins.dat", s.text()); }
    void registry(const std::vector<std::string>& keys, bool nt = false) {
        fixtures::writeSystemReg(prefix.path() / "system.reg", keys, nt);
    }
    std::filesystem::path wineServerRoot() const { return usb_ / "wine-server"; }

    void start(const std::string& programFolder = "A:\\", const std::string& cwd = "C:\\") {
        sysaccess::platform_prefix::PrefixOptions o;
        o.prefix = prefix.path();
        o.usbDevicesDir = usb_.path();
        o.wineServerRoot = wineServerRoot();
        o.programFile = prefix.host(programFolder) / "BUSCLEAN.EXE";
        o.currentDir = prefix.host(cwd);
        o.allowLaunch = false;
        machine_ = std::make_unique<sysaccess::platform_prefix::PrefixPlatform>(o);
        recorder_ = std::make_unique<fixtures::RecordingPlatform>(*machine_);
        guard_.emplace(*recorder_);
        driver.start([this] { busclean::run(driver); });
    }

    busclean::Uninstall& window() {
        auto* f = driver.form("Uninstall");
        if (!f) throw std::runtime_error("the remover's window is not loaded");
        return dynamic_cast<busclean::Uninstall&>(*f);
    }
    fixtures::RecordingPlatform& calls() { return *recorder_; }
    sysaccess::platform_prefix::PrefixPlatform& machine() { return *machine_; }
    bool exists(const std::string& winPath) const { return std::filesystem::exists(prefix.host(winPath)); }

    // Ticks the device and presses "Uninstall", answering the boxes given.
    void uninstall(std::initializer_list<int> answers) {
        for (int a : answers) driver.answer(a);
        if (window().Check1.value() == 0) driver.click("Uninstall", "Check1");
        driver.click("Uninstall", "Command1");
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

}  // namespace remover_test
