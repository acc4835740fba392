// Lists every key of a system.reg as the programs' own registry reads it, one
// path a line (relative to HKEY_LOCAL_MACHINE, parents included, in the
// tree's order). Ends with status 1 and a message when the file is missing,
// unreadable, has no registry signature, or has a section header that names
// no key: the crash trial counts any of these as a damaged file.
//
//   trial_regkeys <system.reg>
#include "sysaccess/registry/Registry.h"
#include "sysaccess/registry/WineRegFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using sysaccess::registry::Registry;

void list(const Registry& reg, const std::string& path, std::string& out) {
    for (const auto& name : reg.subkeys(path)) {
        const std::string child = path.empty() ? name : path + "\\" + name;
        out += child;
        out += '\n';
        list(reg, child, out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: trial_regkeys <system.reg>\n";
        return 2;
    }
    const std::filesystem::path file = argv[1];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << file << ": cannot be read\n";
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const auto parsed = sysaccess::registry::parseRegFile(bytes.str());
    if (!parsed.valid) {
        std::cerr << file << ": no registry signature\n";
        return 1;
    }
    for (const auto& section : parsed.sections) {
        if (section.path.empty()) {
            const auto start = section.raw.find('[');
            std::cerr << file << ": section header names no key: "
                      << section.raw.substr(start == std::string::npos ? 0 : start, 80) << "\n";
            return 1;
        }
    }

    // The registry the programs use, over the same file; it only reads here.
    Registry reg(Registry::Options{.systemReg = file});
    std::string out;
    list(reg, "", out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
