#include "property/Runs.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "fixtures/RecordingPlatform.h"
#include "fixtures/SystemReg.h"
#include "property/RegistryKeys.h"
#include "remover/Busclean.h"
#include "remover/Uninstall.h"
#include "sysaccess/platform/prefix/PrefixPlatform.h"
#include "sysaccess/registry/RegFileStore.h"
#include "viewer/MachinePreview.h"
#include "viewer/PreviewDriver.h"
#include "viewer/ScriptFields.h"
#include "viewer/ScriptLayout.h"
#include "viewer/StreamInputFile.h"

namespace property {

namespace fs = std::filesystem;

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

// The components of a Windows path with "." and ".." taken out, in upper
// case: what every spelling of one file comes to on a case-blind drive.
std::string plainPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '\\')) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
            continue;
        }
        parts.push_back(upper(part));
    }
    std::string joined;
    for (const std::string& p : parts) joined += (joined.empty() ? "" : "\\") + p;
    return joined;
}

// A key path with single separators and none at the end.
std::string keyPath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

// The line for the keys a deletion took along, sorted and in upper case.
std::string takenAlong(const std::vector<std::string>& keys) {
    std::string line = "  with its parent:";
    for (std::size_t i = 0; i < keys.size(); ++i) line += (i ? ", " : " ") + keys[i];
    return line;
}

sysaccess::platform_prefix::PrefixOptions machineOptions(ImageOnDisk& disk, const std::string& exe) {
    sysaccess::platform_prefix::PrefixOptions o;
    o.prefix = disk.prefix.path();
    o.usbDevicesDir = disk.prefix.scratch() / "usb";
    o.wineServerRoot = disk.prefix.scratch() / "wine-server";
    o.programFile = disk.prefix.host("A:\\") / exe;
    o.currentDir = disk.prefix.host("C:\\");
    o.allowLaunch = false;
    o.wineboot = "/usr/bin/wineboot";
    return o;
}

std::string boxLine(const std::string& title, int style, std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " / ");
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, " / ");
    return title + " | " + std::to_string(style) + " | " + text;
}

void noteBoxes(Outcome& out, const busview::PreviewDriver& driver) {
    for (const auto& b : driver.boxes()) out.boxes.push_back(boxLine(b.title, b.style, b.text));
    out.ended = driver.finished();
    if (driver.failure()) {
        try {
            std::rethrow_exception(driver.failure());
        } catch (const std::exception& e) {
            out.failure = e.what();
        } catch (...) {
            out.failure = "an unknown failure";
        }
    }
    for (const auto& b : driver.unexpectedBoxes()) out.failure += "unanswered box: " + b.text;
}

// Every file of the image as it is on the drive now: its bytes, or nothing.
std::map<std::string, std::optional<std::string>> drive(ImageOnDisk& disk) {
    std::map<std::string, std::optional<std::string>> now;
    for (const ImageFile& f : disk.image.files) {
        const fs::path host = disk.prefix.host(f.path);
        now[f.path] = fs::exists(host) ? std::optional(fixtures::readHostFile(host)) : std::nullopt;
    }
    return now;
}

}  // namespace

ImageOnDisk::ImageOnDisk(const Image& img) : image(img) {
    for (const char* f : {"C:\\windows\\system", "C:\\windows\\system32\\drivers", "C:\\windows\\inf",
                          "C:\\windows\\inf\\other"}) {
        prefix.folder(f);
    }
    fs::create_directories(prefix.scratch() / "usb");
    for (const std::string& hub : image.hubs) fixtures::writeHostFile(prefix.scratch() / "usb" / hub / "busnum", "1\n");
    fixtures::writeSystemReg(prefix.path() / "system.reg", image.keys, image.ntStore);
    if (image.foreignRegistry) {
        fixtures::writeHostFile(prefix.path() / "system.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Enum\\USB]\r\n");
    }
    if (image.wineRunning) {
        wineServer.emplace(prefix.scratch() / "wine-server" /
                           sysaccess::registry::wineServerFolderName(prefix.path()) / "lock");
    }
    for (const ImageFile& f : image.files) prefix.file(f.path, f.bytes, f.attrs);
    prefix.file("A:\\Unins.dat", image.script.text());
}

Outcome previewOf(ImageOnDisk& disk) {
    const std::string regBefore = fixtures::readHostFile(disk.prefix.path() / "system.reg");
    const auto filesBefore = drive(disk);
    const std::string script = disk.prefix.host("A:\\Unins.dat").string();
    busview::ScriptFields fields(std::make_unique<busview::StreamInputFile>(script));
    const busview::ScriptLayout layout(fields);

    sysaccess::platform_prefix::PrefixPlatform machine(machineOptions(disk, "BUSVIEW.EXE"));
    const bool nineX = machine.registry().family() == sysaccess::registry::Family::Win9x;
    busview::MachinePreview dry(machine, nineX, [script] { return std::make_unique<busview::StreamInputFile>(script); },
                                layout);
    const busview::PreviewResult p = dry.run();

    Outcome out;
    out.startupEnded = p.startupEnded;
    out.checkEnabled = p.checkEnabled;
    out.family = p.family;
    out.ended = p.ended;
    out.failure = p.failure;
    for (const auto& b : p.boxes) out.boxes.push_back(boxLine(b.title, b.style, b.text));
    std::vector<std::string> group;  // the keys that went with the last key
    auto closeGroup = [&] {
        if (group.empty()) return;
        std::sort(group.begin(), group.end());
        out.changes.push_back(takenAlong(group));
        group.clear();
    };
    using Kind = busview::PreviewChange::Kind;
    for (const busview::PreviewChange& c : p.changes) {
        if (c.withParent()) {
            group.push_back(upper(c.what));
            continue;
        }
        closeGroup();
        switch (c.kind) {
            case Kind::DeleteKey: out.changes.push_back("key " + c.what); break;
            case Kind::DeleteFile: out.changes.push_back("file " + c.what); break;
            case Kind::Restart: out.changes.push_back("restart request " + c.what); break;
            case Kind::StartProgram: out.changes.push_back("start program " + c.what); break;
            case Kind::OpenShortcut: out.changes.push_back("open shortcut " + c.what); break;
        }
    }
    closeGroup();

    // Each step deletes only in its own folder (the order being the real
    // run's, this holds for it too).
    const std::string win = "C:\\WINDOWS\\";
    const std::map<std::string, std::string> folders = {
        {"CleanRegistry", win + "INF\\"},          {"DeleteSystemFiles", win + "SYSTEM\\"},
        {"DeleteDriverFiles", win + "SYSTEM32\\DRIVERS\\"}, {"DeleteInfFiles", win + "INF\\"},
        {"DeleteOtherInfFiles", win + "INF\\OTHER\\"}, {"RemoveOemInfFiles x50", win + "INF\\"}};
    for (const busview::PreviewChange& c : p.changes) {
        if (c.kind != busview::PreviewChange::Kind::DeleteFile || c.step == "start-up") continue;
        const auto folder = folders.find(c.step);
        if (folder == folders.end() || upper(c.what).rfind(folder->second, 0) != 0)
            out.faults.push_back(c.step + " deleted " + c.what + ", outside its folder");
    }

    // The preview changes nothing.
    if (fixtures::readHostFile(disk.prefix.path() / "system.reg") != regBefore)
        out.faults.push_back("the preview changed system.reg");
    if (drive(disk) != filesBefore) out.faults.push_back("the preview changed the image's files");
    return out;
}

Outcome realRunOf(ImageOnDisk& disk) {
    const fs::path regFile = disk.prefix.path() / "system.reg";
    const KeySet before = readKeys(fixtures::readHostFile(regFile));
    const auto filesBefore = drive(disk);

    sysaccess::platform_prefix::PrefixPlatform machine(machineOptions(disk, "BUSCLEAN.EXE"));
    fixtures::RecordingPlatform calls(machine);
    sysaccess::PlatformGuard guard(calls);
    Outcome out;
    {
        busview::PreviewDriver driver;
        // The layout as the window holds it whenever it might be about to go.
        driver.beforeBoxOrClose = [&] {
            if (auto* w = dynamic_cast<busclean::Uninstall*>(driver.form("Uninstall"))) out.family = w->SystemFamily;
        };
        driver.start([&] { busclean::run(driver); });
        auto* window = dynamic_cast<busclean::Uninstall*>(driver.form("Uninstall"));
        if (driver.finished() || !window) {
            out.startupEnded = true;
        } else {
            out.checkEnabled = window->Check1.Enabled;
            if (out.checkEnabled) {
                driver.click("Uninstall", "Check1");
                driver.click("Uninstall", "Command1");
            }
        }
        noteBoxes(out, driver);
    }

    // The keys each deletion took, read from the file as it was before: the
    // key and every key below it still there at that moment.
    KeySet present = before;
    std::map<std::string, std::size_t> byPlainPath;  // image files by their plain path
    for (std::size_t i = 0; i < disk.image.files.size(); ++i) byPlainPath[plainPath(disk.image.files[i].path)] = i;
    const auto after = drive(disk);
    std::set<std::size_t> listed;
    std::map<sysaccess::HKEY32, std::string> opened;
    for (const auto& c : calls.calls) {
        if (c.op == "open" && c.handle) opened[c.handle] = c.arg;
        if (c.op == "delete" && c.status == 0) {
            const std::string key = keyPath(opened[c.handle] + "\\" + c.arg);
            out.changes.push_back("key " + key);
            const std::vector<std::string> below = takeSubtree(present, key);
            if (!below.empty()) out.changes.push_back(takenAlong(below));
        }
        if (c.op == "kill") {
            const auto file = byPlainPath.find(plainPath(c.arg));
            if (file == byPlainPath.end() || listed.count(file->second)) continue;
            const std::string& path = disk.image.files[file->second].path;
            if (filesBefore.at(path) && !after.at(path)) {
                listed.insert(file->second);
                out.changes.push_back("file " + path);
            }
        }
        if (c.op == "restart") out.changes.push_back("restart request " + c.arg + " " + std::to_string(c.status));
        if (c.op == "start") out.changes.push_back("start program " + c.arg);
        if (c.op == "shortcut") out.changes.push_back("open shortcut " + c.arg);
    }

    // What the deletions took is exactly what is gone.
    const KeySet left = readKeys(fixtures::readHostFile(regFile));
    if (keyNames(left) != keyNames(present)) out.faults.push_back("system.reg after the run holds other keys than the deletions left");
    for (std::size_t i = 0; i < disk.image.files.size(); ++i) {
        const std::string& path = disk.image.files[i].path;
        if (!after.at(path) && !listed.count(i)) out.faults.push_back("a file went that no deletion took: " + path);
    }
    return out;
}

std::string describe(const Outcome& o) {
    std::ostringstream out;
    if (o.startupEnded) out << "  start-up ends\n";
    out << "  Check1 " << (o.checkEnabled ? "enabled" : "disabled") << ", layout " << o.family
        << (o.ended ? ", ended" : ", still running") << "\n";
    for (const std::string& c : o.changes) out << "  " << c << "\n";
    for (const std::string& b : o.boxes) out << "  box " << b << "\n";
    if (!o.failure.empty()) out << "  failure: " << o.failure << "\n";
    for (const std::string& f : o.faults) out << "  FAULT: " << f << "\n";
    return out.str();
}

}  // namespace property
