#pragma once
// One random image, removed twice: by the preview (Busview's dry run of the
// remover over the image) and for real (the remover over the image's own
// platform), each brought to the same comparable outcome. The real run's
// outcome is read from what it left: the registry file and the drive, in the
// order the recorded platform calls give.
#include <string>
#include <vector>

#include <optional>

#include "fixtures/Faults.h"
#include "fixtures/PrefixBuilder.h"
#include "property/RandomImage.h"

namespace property {

struct Outcome {
    bool startupEnded = false;
    bool checkEnabled = false;
    // In order: "key <path>" for a key deleted, followed where keys went with
    // it by "  with its parent: <PATH>, ..." (upper case, sorted), "file
    // <path>" for a file deleted, "restart request <flags> <reserved>", ...
    std::vector<std::string> changes;
    std::vector<std::string> boxes;  // "<title> | <style> | <text>"
    int family = 0;                  // the layout the run left detected
    bool ended = false;
    std::string failure;
    // Faults of a run itself (the image changed by the preview, the
    // registry file or the drive disagreeing with the deletions made).
    std::vector<std::string> faults;
};

// A fresh machine image on disk, with the script as A:\Unins.dat.
class ImageOnDisk {
public:
    explicit ImageOnDisk(const Image& image);
    fixtures::Prefix prefix;
    const Image& image;
    std::optional<fixtures::HeldServerLock> wineServer;
};

Outcome previewOf(ImageOnDisk& disk);
Outcome realRunOf(ImageOnDisk& disk);

std::string describe(const Outcome& outcome);

}  // namespace property
