#include "property/RandomImage.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace property {

namespace {

using fixtures::Attr;
using Names = std::vector<std::string>;

class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    int range(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(engine_) < p; }
    template <class T>
    const T& pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(range(0, static_cast<int>(from.size()) - 1))];
    }
    template <class T>
    void shuffle(std::vector<T>& v) { std::shuffle(v.begin(), v.end(), engine_); }

private:
    std::mt19937_64 engine_;
};

std::string upper(std::string s) {
    for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}
std::string lower(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
}

// --- registry ------------------------------------------------------------------

const std::string Class9x = "System\\CurrentControlSet\\Services\\Class\\";
const std::string Monitors9x = "System\\CurrentControlSet\\Control\\Print\\Monitors\\";
const std::string Ports9x = "System\\CurrentControlSet\\Control\\Print\\Ports\\";
const std::string NtEnum = "SYSTEM\\CurrentControlSet\\Enum\\";
const std::string NtMarker = "SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter";

const Names UsbDevices = {"VID_0E4B&PID_0204", "VID_0E4B&PID_02XX", "VID_0E4B&PID_0230", "VID_050D&PID_0109",
                          "VID_046D&PID_C00E", "ROOT_HUB",          "VID_07A6&PID_0986", "vid_0e4b&pid_0204"};
const Names Below = {"0000", "0001", "5&2C3D&0&1", "6&1A&0", "Device Parameters", "QRXCOM", "Port0", "LogConf"};
const Names Enumerators9x = {"QRXPORT", "QRXPORTLPT", "XQRXPORT", "ROOT", "HTREE", "PCI", "qrxport", "USB"};
const Names ClassNames = {"QRXSERIAL", "Ports", "QRX Port Monitor", "qrxserial", "Modem"};
const Names MonitorNames = {"QRX Port Monitor", "Local Port", "QRXSERIAL"};
const Names PortNames = {"QRXSERIAL", "LPT1:", "COM1:", "QRX Port Monitor"};
const Names NtDevices = {"VID_0E4B&PID_02XX", "VID_0E4B&PID_02XX", "QRXBUS", "VID_0E4B&PID_0204"};
const Names NtEnumerators = {"KELVARN", "USB", "ROOT", "KELVARN", "USB"};

// `base` and 1-`most` levels below it, the first named from `first`.
std::string chain(Dice& dice, const std::string& base, const Names& first, int most) {
    std::string path = base + dice.pick(first);
    const int depth = dice.range(1, most);
    for (int level = 1; level < depth; ++level) path += "\\" + dice.pick(Below);
    return path;
}

std::string key9x(Dice& dice) {
    switch (dice.range(0, 5)) {
        case 0:
        case 1: return chain(dice, "Enum\\USB\\", UsbDevices, 4);
        case 2: return chain(dice, "Enum\\", Enumerators9x, 4);
        case 3: return chain(dice, Class9x, ClassNames, 4);
        case 4: return chain(dice, Monitors9x, MonitorNames, 2);
        default: return chain(dice, Ports9x, PortNames, 2);
    }
}

std::string keyNt(Dice& dice) {
    const std::string enumerator = dice.pick(NtEnumerators);
    if (enumerator == "KELVARN") return chain(dice, NtEnum + "KELVARN\\", NtDevices, 5);
    if (enumerator == "USB") return chain(dice, NtEnum + "USB\\", UsbDevices, 4);
    return chain(dice, NtEnum + "ROOT\\", {"LEGACY_BEEP", "*PNP0501"}, 2);
}

void makeRegistry(Dice& dice, Image& image) {
    image.ntStore = dice.chance(0.5);
    // The remover tells the layouts by the marker key, the registry by its
    // own mark: mostly they agree, sometimes not.
    const bool marker = dice.chance(0.15) ? !image.ntStore : image.ntStore;
    const bool ntKeys = dice.chance(0.15) ? !marker : marker;
    if (marker) image.keys.push_back(NtMarker);
    const int count = dice.range(2, 14);
    for (int n = 0; n < count; ++n) image.keys.push_back(dice.chance(0.8) == ntKeys ? keyNt(dice) : key9x(dice));
    image.keys.push_back("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName");
    image.keys.push_back("Software\\Microsoft\\Windows\\CurrentVersion\\Setup");
    dice.shuffle(image.keys);
    // The host's root hubs appear under Enum\USB\ROOT_HUB, where no
    // deletion may take them.
    if (dice.chance(0.3)) image.hubs = dice.chance(0.5) ? Names{"usb1"} : Names{"usb1", "usb2"};
    // What keeps every deletion from being written back.
    image.wineRunning = dice.chance(0.03);
    image.foreignRegistry = dice.chance(0.02);
}

// --- files ---------------------------------------------------------------------

const std::string System = "C:\\windows\\system\\";
const std::string Drivers = "C:\\windows\\system32\\drivers\\";
const std::string Inf = "C:\\windows\\inf\\";
const std::string Other = "C:\\windows\\inf\\other\\";

const std::map<std::string, Names> FolderNames = {
    {System, {"QRXSER.VXD", "qrx2.vxd", "QRX3.VXD", "KERNEL32.DLL", "QRXUSB.SYS"}},
    {Drivers, {"QRXUSB.SYS", "USBD.SYS", "qrxser.vxd"}},
    {Inf, {"QRXSER.INF", "QRXPORT.INF", "MSPORTS.INF", "qrxmodem.inf"}},
    {Other, {"TarnwickQRX.INF", "OtherMaker.INF", "VENDOR.INF", "qrx.inf"}},
};

const Names OemIds = {"USB\\VID_0E4B&PID_0230", "USB\\VID_050D&PID_0109", "VID_07A6&PID_0986",
                      "VID_050D&PID_2001",     "USB\\VID_046D&PID_C00E", "USB\\VID_0E4B&PID_0204"};

Attr randomAttrs(Dice& dice) {
    const int roll = dice.range(0, 99);
    if (roll < 5) return Attr::ReadOnly;
    if (roll < 15) return Attr::Hidden;
    if (roll < 19) return Attr::System;
    if (roll < 21) return Attr::Hidden | Attr::ReadOnly;
    return Attr::None;
}

class FileMaker {
public:
    FileMaker(Dice& dice, Image& image) : dice_(dice), image_(image) {}

    // A file of that name unless its folder has one of that name in any case.
    void add(const std::string& folder, const std::string& name, std::string bytes, Attr attrs) {
        if (!taken_[folder].insert(upper(name)).second) return;
        image_.files.push_back({folder + name, std::move(bytes), attrs});
    }

    void folderFiles() {
        for (const auto& [folder, names] : FolderNames) {
            for (const std::string& name : names) {
                if (!dice_.chance(0.4)) continue;
                add(folder, dice_.chance(0.1) ? lower(name) : name, "file " + name, randomAttrs(dice_));
            }
        }
        // The driver database files, in one of the spellings the system
        // writes or another.
        if (dice_.chance(0.5)) add(Inf, dice_.pick(Names{"Drvdata.bin", "DRVDATA.BIN", "drvdata.bin"}), "d", randomAttrs(dice_));
        if (dice_.chance(0.5)) add(Inf, dice_.pick(Names{"Drvidx.bin", "DRVIDX.BIN", "DrvIdx.Bin"}), "i", randomAttrs(dice_));
        // Files of the folders above, which an entry climbing out with ".."
        // would reach: no step may delete them.
        for (const std::string& above : {std::string("C:\\windows\\"), std::string("C:\\windows\\system32\\")}) {
            if (!dice_.chance(0.4)) continue;
            const std::string folder = dice_.pick(Names{System, Drivers, Inf, Other});
            add(above, dice_.pick(FolderNames.at(folder)), "above", Attr::None);
        }
    }

    void oemFiles() {
        const int count = dice_.range(0, 4);
        for (int n = 0; n < count; ++n) {
            const int number = dice_.chance(0.1) ? dice_.range(49, 52) : dice_.range(0, 12);
            const std::string stem = dice_.pick(Names{"oem", "OEM", "Oem"}) + std::to_string(number);
            std::map<int, std::string> at;
            const int ids = dice_.range(0, 2);
            for (int i = 0; i < ids; ++i) at[dice_.range(1, 55)] = "%Dev%=Dev.Install," + dice_.pick(OemIds);
            // An unquoted comma shifts every later field by one.
            if (dice_.chance(0.2)) at[dice_.range(1, 50)] = "Key,Value";
            add(Inf, stem + (stem[0] == 'O' && stem[1] == 'E' ? ".INF" : ".inf"), remover_test::oemInf(at),
                randomAttrs(dice_));
            if (dice_.chance(0.7)) {
                add(Inf, stem + (dice_.chance(0.5) ? ".pnf" : ".PNF"), "precompiled", randomAttrs(dice_));
            }
        }
    }

private:
    Dice& dice_;
    Image& image_;
    std::map<std::string, std::set<std::string>> taken_;  // upper-case names per folder
};

// --- script --------------------------------------------------------------------

enum class Kind { Registry, System, Drivers, Inf, Other, Oem };
const std::vector<std::pair<Kind, std::string>> Headers = {
    {Kind::Registry, "[Delete Registry]"}, {Kind::System, "[Delete System]"}, {Kind::Drivers, "[Delete System32]"},
    {Kind::Inf, "[Delete Inf]"},           {Kind::Other, "[Delete Other]"},   {Kind::Oem, "[Delete W2kinf]"}};

const Names RegistryEntries = {"Enum\\USB", "Enum", "Enum\\QRXPORT", "QRXSERIAL", "QRX Port Monitor", "Ports",
                               "LPT1:",     "Enum\\USB\\VID_0E4B&PID_0204", "System\\CurrentControlSet\\Services\\Class",
                               "no such key"};

const std::string& folderOf(Kind kind) {
    switch (kind) {
        case Kind::System: return System;
        case Kind::Drivers: return Drivers;
        case Kind::Other: return Other;
        default: return Inf;
    }
}

// A file entry naming (or matching) files of the folder, in one of the
// forms a script may spell it.
std::string fileEntry(Dice& dice, Kind kind) {
    Names names = FolderNames.at(folderOf(kind));
    if (kind == Kind::Inf) names.insert(names.end(), {"oem1.inf", "OEM2.PNF", "Drvdata.bin", "oem0.inf"});
    const std::string name = dice.pick(names);
    const std::string ext = name.substr(name.find('.'));
    switch (dice.range(0, 11)) {
        case 0: return lower(name);
        case 1: return ".\\" + name;
        case 2: return name.substr(0, 3) + "*" + ext;
        case 3: return "*" + ext;
        case 4: return "?" + name.substr(1);
        case 5: return dice.chance(0.5) ? "*.*" : "*";
        case 6: return "..\\" + name;  // climbs out of the folder: finds nothing
        case 7: return "sub\\..\\" + name;
        case 8: return kind == Kind::Inf ? "other\\" + dice.pick(FolderNames.at(Other)) : name;
        case 9: return ".\\" + lower(name);
        default: return name;
    }
}

void makeScript(Dice& dice, Image& image) {
    remover_test::Script& s = image.script;
    const Names matchPool = {"VID_0E4B", "PID_02",   "VID_050D", "QRX", "0204", "",
                                 "VID_046D", "PID_0109", "ROOT_HUB", "USB", "HUB"};
    s.matches.clear();
    const int matches = dice.range(0, 4);
    for (int n = 0; n < matches; ++n) s.matches.push_back(dice.pick(matchPool));
    s.noMarker = dice.chance(0.2);

    std::vector<std::string>& list = s.removal;
    Kind current = Kind::System;  // the installed check's folder before any header
    if (dice.chance(0.2)) list.push_back(fileEntry(dice, current));
    int oemEntries = 0;
    const int sections = dice.range(1, 6);
    for (int n = 0; n < sections; ++n) {
        const auto& [kind, header] = dice.pick(Headers);
        if (kind == Kind::Oem && oemEntries >= 2) continue;  // each runs the oem cleanup 50 times
        // A header in other letter case is an item, not a header.
        list.push_back(dice.chance(0.05) ? lower(header) : header);
        current = kind;
        const int entries = kind == Kind::Oem ? dice.range(0, 1) : dice.range(0, 3);
        oemEntries += kind == Kind::Oem ? 1 + entries : 0;
        for (int e = 0; e < entries; ++e) {
            if (kind == Kind::Oem) list.push_back(dice.pick(Names{"oem", "x"}));
            else if (kind == Kind::Registry) list.push_back(dice.pick(RegistryEntries));
            else list.push_back(fileEntry(dice, kind));
        }
    }
    // A blank entry ends the list wherever it stands.
    if (dice.chance(0.15) && !list.empty()) {
        list.insert(list.begin() + dice.range(0, static_cast<int>(list.size())), std::string());
    }
}

const char* attrName(Attr a) {
    switch (static_cast<unsigned>(a)) {
        case 0: return "";
        case 1: return " (read-only)";
        case 2: return " (hidden)";
        case 3: return " (hidden, read-only)";
        case 4: return " (system)";
        default: return " (other attributes)";
    }
}

}  // namespace

Image randomImage(std::uint64_t seed) {
    Dice dice(seed);
    Image image;
    image.seed = seed;
    makeRegistry(dice, image);
    FileMaker files(dice, image);
    files.folderFiles();
    files.oemFiles();
    makeScript(dice, image);
    return image;
}

std::string describe(const Image& image) {
    std::ostringstream out;
    out << "image of seed " << image.seed << ", registry file of the " << (image.ntStore ? "NT" : "9x")
        << " family" << (image.foreignRegistry ? " (written as another kind of file)" : "") << ", "
        << image.hubs.size() << " root hubs on the host" << (image.wineRunning ? ", a Wine server running" : "")
        << "\n  keys:\n";
    for (const std::string& k : image.keys) out << "    " << k << "\n";
    out << "  files:\n";
    for (const ImageFile& f : image.files) {
        out << "    " << f.path << attrName(f.attrs);
        // An oem file's identifiers, and its commas, with their lines.
        std::istringstream lines(f.bytes);
        std::string line;
        for (int n = 1; std::getline(lines, line); ++n) {
            if (line.find("VID_") != std::string::npos || line.find(',') != std::string::npos)
                out << "  line " << n << ": " << line.substr(0, line.find('\r'));
        }
        out << "\n";
    }
    out << "  script: match entries";
    for (const std::string& m : image.script.matches) out << " \"" << m << "\"";
    out << (image.script.noMarker ? " (no end marker)" : " ==========") << "\n  removal list:\n";
    for (std::size_t n = 0; n < image.script.removal.size(); ++n)
        out << "    " << n + 1 << ": \"" << image.script.removal[n] << "\"\n";
    return out.str();
}

}  // namespace property
