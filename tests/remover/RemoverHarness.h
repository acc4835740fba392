#pragma once
// One remover run on a temporary machine image: Windows folders on C:, the
// driver disk as A: with the removal script, a system.reg built from a key
// list, and the program on the headless display.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/ProgramRun.h"
#include "remover/Busclean.h"
#include "remover/Uninstall.h"

namespace remover_test {

inline const std::string Inf = "C:\\windows\\inf\\";
// A USB hardware identifier of the adapter, as oem files carry it.
inline const std::string Pair1 = "USB\\VID_0E4B&PID_0230";

// An oem setup-information file of 60 one-line fields, with the given
// texts at the given field numbers (1-based).
inline std::string oemInf(const std::map<int, std::string>& at) {
    std::string text;
    for (int f = 1; f <= 60; ++f) {
        auto it = at.find(f);
        text += (it != at.end() ? it->second : "Key" + std::to_string(f) + "=Value") + "\r\n";
    }
    return text;
}

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

class RemoverRun : public fixtures::ProgramRun {
public:
    RemoverRun() {
        for (const char* f : {"C:\\windows\\system", "C:\\windows\\system32\\drivers", "C:\\windows\\inf",
                              "C:\\windows\\inf\\other"}) {
            prefix.folder(f);
        }
    }

    void script(const Script& s) { prefix.file("A:\\Unins.dat", s.text()); }

    // Starts Busclean as if run from `programFolder` with `cwd` current.
    void start(const std::string& programFolder = "A:\\", const std::string& cwd = "C:\\") {
        startProgram(busclean::run, "BUSCLEAN.EXE", programFolder, cwd);
    }

    busclean::Uninstall& window() {
        auto* f = driver.form("Uninstall");
        if (!f) throw std::runtime_error("the remover's window is not loaded");
        return dynamic_cast<busclean::Uninstall&>(*f);
    }
    bool exists(const std::string& winPath) const { return std::filesystem::exists(prefix.host(winPath)); }

    // Starts with this removal list (one of its files must be present, so the
    // device can be ticked), ticks it, presses "Uninstall" and answers Yes,
    // then OK to a report of a failure.
    void removeWith(const std::vector<std::string>& removal) {
        Script s;
        s.removal = removal;
        script(s);
        start();
        ASSERT_FALSE(driver.finished());
        ASSERT_TRUE(window().Check1.Enabled);
        uninstall({6, 1});
    }

    // Ticks the device and presses "Uninstall", answering the boxes given.
    void uninstall(std::initializer_list<int> answers) {
        for (int a : answers) driver.answer(a);
        if (window().Check1.value() == 0) driver.click("Uninstall", "Check1");
        driver.click("Uninstall", "Command1");
    }
};

}  // namespace remover_test
