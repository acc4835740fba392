#pragma once
// Random machine images with a removal script for them, made from a seed:
// the registry of either layout with the adapter's keys and others at
// depths 1-4 below the keys the remover walks, the files of the four folders
// the remover cleans (read-only, hidden, system, twice-spelled and missing
// ones), the host's USB root hubs the registry shows, now and then a Wine
// server holding the image or a registry file of another kind, oem files naming identifiers at various fields with their ".pnf"
// companions, and a script with match entries with or without the end
// marker, every section header, wildcards, "."-paths and blank entries.
#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/PrefixBuilder.h"
#include "remover/RemoverHarness.h"

namespace property {

struct ImageFile {
    std::string path;  // Windows path, spelled as stored
    std::string bytes;
    fixtures::Attr attrs = fixtures::Attr::None;
};

struct Image {
    std::uint64_t seed = 0;
    bool ntStore = false;           // the registry file is of the NT family
    std::vector<std::string> keys;  // in the file's order
    std::vector<ImageFile> files;
    std::vector<std::string> hubs;  // the host's USB root hubs ("usb1", ...)
    bool wineRunning = false;       // a Wine server holds the prefix
    bool foreignRegistry = false;   // system.reg is no Wine registry file
    remover_test::Script script;
};

Image randomImage(std::uint64_t seed);

// The image and its script, readable, for a failing case's report.
std::string describe(const Image& image);

}  // namespace property
