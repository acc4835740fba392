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
#include "fixtures/ProgramRun.h"

namespace checker_test {

inline const char* const Contacts =
    "\"Tarnwick Devices, Inc.\",\"12 Mill Lane, Suite 4\",\"+1 555 0100\",\"+1 555 0101\","
    "\"support@tarnwick.example\"\r\n";

class CheckerRun : public fixtures::ProgramRun {
public:
    // Starts Busprobe as if run from `programFolder` with `cwd` current.
    void start(const std::string& programFolder = "A:\\", const std::string& cwd = "C:\\") {
        startProgram(busprobe::run, "BUSPROBE.EXE", programFolder, cwd);
    }

    sysaccess::ui::Form& window(const std::string& name) {
        auto* f = driver.form(name);
        if (!f) throw std::runtime_error("window not loaded: " + name);
        return *f;
    }
    template <class C>
    C& control(const std::string& form, const std::string& name) {
        return dynamic_cast<C&>(*window(form).control(name));
    }
};

}  // namespace checker_test
