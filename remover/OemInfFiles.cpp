// The adapter's oem setup-information files, found by the USB hardware
// identifiers written inside them.
#include "remover/Uninstall.h"
#include "sysaccess/Module1.h"
#include "sysaccess/RuntimeError.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

namespace {

struct IdPair {
    const char* vendor;
    const char* product;
};

// Pairs 1 and 2 also tell the check that the driver is installed.
constexpr IdPair OemIdPairs[4] = {
    {"VID_0E4B", "PID_02"}, {"VID_050D", "PID_0109"}, {"VID_07A6", "PID_0986"}, {"VID_050D", "PID_2001"}};

bool Matches(const std::string& field, const IdPair& pair) {
    return field.find(pair.vendor) != std::string::npos && field.find(pair.product) != std::string::npos;
}

}  // namespace

std::string Uninstall::ReadOemInf(int number) {
    const std::string folder = WinDir + "\\inf\\";
    const std::string name = Dir(folder + "oem" + std::to_string(number) + ".inf");
    if (name.empty()) return name;
    auto file = OpenForInput(folder + name);
    for (int f = 1; f <= 50; ++f) InfFields[static_cast<std::size_t>(f)] = file.next();
    return name;
}

void Uninstall::CheckOemInfFiles() {
    for (int number = 0; number <= 50; ++number) {
        if (ReadOemInf(number).empty()) continue;
        for (int f = 1; f <= 50; ++f) {
            const std::string& field = InfFields[static_cast<std::size_t>(f)];
            if (Matches(field, OemIdPairs[0])) Check1.Enabled = true;
            if (Matches(field, OemIdPairs[1])) Check1.Enabled = true;
        }
    }
}

void Uninstall::RemoveOemInfFiles() {
    const std::string folder = WinDir + "\\inf\\";
    for (int number = 0; number <= 50; ++number) {
        const std::string name = ReadOemInf(number);
        if (name.empty()) continue;
        // Once the file is gone its other pairs are not examined: the file
        // is deleted once, whichever pairs it matches.
        bool deleted = false;
        for (const IdPair& pair : OemIdPairs) {
            for (int f = 1; f <= 50 && !deleted; ++f) {
                if (!Matches(InfFields[static_cast<std::size_t>(f)], pair)) continue;
                // Where the machine keeps a driver store, the file goes the
                // way the system removes a driver package, so the driver
                // does not come back with the next device found; elsewhere,
                // or when that fails, the file is deleted here.
                if (Module1::SetupUninstallOEMInfA(name, Module1::SUOI_FORCEDELETE) == 0) Kill(folder + name);
                deleted = true;
                // The precompiled companion goes too; one that is missing (as
                // after a package removal) is no reason to stop, one that
                // cannot be deleted is.
                const std::string companion = name.substr(0, name.size() - 4) + ".pnf";
                try {
                    Kill(folder + companion);
                } catch (const sysaccess::RuntimeError& e) {
                    if (e.number() != sysaccess::err::FileNotFound) throw;
                }
            }
            if (deleted) break;
        }
    }
}

}  // namespace busclean
