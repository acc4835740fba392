// The preview against the real removal on random machine images: for each
// seed one image and script, previewed and then removed for real, and the
// two must agree on everything the remover does and shows: the keys it
// deletes (with those that go with them) and the files, in order, the boxes,
// and the registry layout it detects. The real run is read back from the
// registry file and the drive.
//
//   BUSPROBE_PROPERTY_CASES   number of images (300; 60 in a sanitized or
//                             unoptimised build, where each costs several times more)
//   BUSPROBE_PROPERTY_SEED    seed of the first image (1); image n has seed + n
//
// A failing image is reported with its seed, its keys, files and script, and
// both outcomes; it is run again alone with
// BUSPROBE_PROPERTY_SEED=<seed> BUSPROBE_PROPERTY_CASES=1.
#include <gtest/gtest.h>

#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/BuildKind.h"
#include "property/RandomImage.h"
#include "property/Runs.h"

namespace {

std::uint64_t setting(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoull(text, nullptr, 10);
}

// Each registry deletion is flushed to the disk; a memory file system makes
// the many runs quick. Used when nothing else is asked for and it keeps the
// DOS attributes (user extended attributes).
void preferMemoryFolder() {
    if (std::getenv("TMPDIR")) return;
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ec;
    if (!std::filesystem::is_directory(shm, ec) || ::access(shm.c_str(), W_OK) != 0) return;
    const std::filesystem::path probe = shm / ("busprobe-xattr-" + std::to_string(::getpid()));
    { std::ofstream(probe.string()) << ""; }
    const bool attrs = ::setxattr(probe.c_str(), "user.DOSATTRIB", "0x1", 3, 0) == 0;
    std::filesystem::remove(probe, ec);
    if (attrs) ::setenv("TMPDIR", shm.c_str(), 1);
}

bool compare(const char* what, const std::vector<std::string>& preview, const std::vector<std::string>& real,
             std::string& report) {
    if (preview == real) return true;
    report += std::string("  ") + what + " differ\n";
    return false;
}

}  // namespace

TEST(PreviewProperty, ThePreviewAgreesWithTheRealRunOnRandomImages) {
    preferMemoryFolder();
    const std::uint64_t cases = setting("BUSPROBE_PROPERTY_CASES", fixtures::kTimingsHold ? 300 : 60);
    const std::uint64_t first = setting("BUSPROBE_PROPERTY_SEED", 1);
    int failures = 0, removals = 0;
    std::uint64_t ran = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t n = 0; n < cases && failures < 5; ++n) {
        const std::uint64_t seed = first + n;
        ++ran;
        const property::Image image = property::randomImage(seed);
        property::ImageOnDisk disk(image);
        const property::Outcome preview = property::previewOf(disk);
        const property::Outcome real = property::realRunOf(disk);
        if (!real.changes.empty()) ++removals;

        std::string report;
        bool same = compare("the changes", preview.changes, real.changes, report);
        same = compare("the boxes", preview.boxes, real.boxes, report) && same;
        if (preview.family != real.family) report += "  the layouts differ\n", same = false;
        if (preview.startupEnded != real.startupEnded || preview.checkEnabled != real.checkEnabled ||
            preview.ended != real.ended) {
            report += "  the start-up or the end differs\n", same = false;
        }
        if (!preview.failure.empty() || !real.failure.empty()) report += "  a run failed\n", same = false;
        if (!preview.faults.empty() || !real.faults.empty()) report += "  a run is at fault\n", same = false;
        if (same) continue;
        ++failures;
        ADD_FAILURE() << "seed " << seed << " (run it alone: BUSPROBE_PROPERTY_SEED=" << seed
                      << " BUSPROBE_PROPERTY_CASES=1)\n"
                      << report << property::describe(image) << "preview:\n"
                      << property::describe(preview) << "real run:\n"
                      << property::describe(real);
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu images from seed %llu, %d with a removal, in %.1f s\n", static_cast<unsigned long long>(ran),
                static_cast<unsigned long long>(first), removals, seconds);
    // The images must reach the removal often enough to say something.
    if (ran >= 50) {
        EXPECT_GT(removals, static_cast<int>(ran / 4));
    }
}
