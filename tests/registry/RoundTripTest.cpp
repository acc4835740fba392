// Deleting a key rewrites system.reg: every other key keeps its name, every
// untouched section its bytes and place, and the file still reads as before
// apart from the deleted subtree.
#include "RegTextGen.h"
#include "RegistryTestUtil.h"
#include "fixtures/TempDir.h"
#include "sysaccess/registry/KeyPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace sysaccess;
using namespace sysaccess::registry;
using fixtures::readHostFile;
using fixtures::writeHostFile;

namespace {

using Path = std::vector<std::string>;

std::string joined(const Path& path, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += (i ? "\\" : "") + path[i];
    return out;
}

// Every key the file makes, implied parents included: upper-case path ->
// path as spelled (the first spelling, as the key tree keeps it).
std::map<std::string, std::string> keysOf(const std::vector<RegSection>& sections) {
    std::map<std::string, std::string> keys;
    for (const auto& s : sections)
        for (std::size_t n = 1; n <= s.path.size(); ++n) keys.emplace(upperAscii(joined(s.path, n)), joined(s.path, n));
    return keys;
}

bool within(const std::string& upperKey, const std::string& upperTop) {
    return upperKey == upperTop || upperKey.starts_with(upperTop + "\\");
}

// The key names below `path` as a store shows them, depth first.
void listing(const Registry& r, const std::string& path, std::vector<std::string>& out) {
    for (const auto& name : r.subkeys(path)) {
        const std::string full = path.empty() ? name : path + "\\" + name;
        out.push_back(full);
        listing(r, full, out);
    }
}

struct RoundTrip {
    fixtures::TempDir dir;
    std::filesystem::path reg = dir / "system.reg";

    Registry::Options options() const {
        return {.systemReg = reg, .wineServerRoot = dir / "wineserver", .family = Family::Win9x};
    }

    // Deletes `victim` from `text` through the store and checks the result.
    void check(const std::string& text, const std::string& victim) {
        SCOPED_TRACE("deleting " + victim + " from:\n" + text);
        writeHostFile(reg, text);
        const RegFile before = parseRegFile(text);
        ASSERT_TRUE(before.valid);
        const auto keysBefore = keysOf(before.sections);
        const std::string top = upperAscii(victim);
        ASSERT_TRUE(keysBefore.count(top));

        Registry r(options());
        ASSERT_EQ(r.RegDeleteKeyA(HKEY_LOCAL_MACHINE, victim), status::Success);
        const RegFile after = parseRegFile(readHostFile(reg));
        ASSERT_TRUE(after.valid);
        EXPECT_EQ(after.header, before.header);

        // The keys are the old ones minus the subtree, with the same names.
        auto expected = keysBefore;
        std::erase_if(expected, [&](const auto& k) { return within(k.first, top); });
        EXPECT_EQ(keysOf(after.sections), expected);

        // Untouched sections keep bytes and order; at most one section is
        // new: the parent's, when nothing else would keep it in the file.
        std::vector<RegSection> kept;
        for (const auto& s : before.sections)
            if (s.path.empty() || !within(upperAscii(joined(s.path, s.path.size())), top)) kept.push_back(s);
        std::vector<std::string> keptRaw, afterRaw;
        for (const auto& s : kept) keptRaw.push_back(s.raw);
        for (const auto& s : after.sections) afterRaw.push_back(s.raw);
        const std::size_t cut = victim.rfind('\\');
        const bool parentKept = cut == std::string::npos || keysOf(kept).count(upperAscii(victim.substr(0, cut)));
        if (parentKept) {
            EXPECT_EQ(afterRaw, keptRaw);
        } else if (afterRaw.size() == keptRaw.size() + 1) {
            std::size_t j = 0;
            while (j < keptRaw.size() && keptRaw[j] == afterRaw[j]) ++j;
            EXPECT_EQ(upperAscii(joined(after.sections[j].path, after.sections[j].path.size())),
                      upperAscii(victim.substr(0, cut)));
            afterRaw.erase(afterRaw.begin() + static_cast<std::ptrdiff_t>(j));
            EXPECT_EQ(afterRaw, keptRaw);
        } else {
            ADD_FAILURE() << "the parent that lost its last subkey got no section";
        }

        // The store's memory holds the same keys as a fresh read of the file.
        // (The creation order may differ: a key first seen in a deleted
        // section is next read where its own later section stands.)
        std::vector<std::string> live, fresh;
        listing(r, "", live);
        listing(Registry(options()), "", fresh);
        std::sort(live.begin(), live.end());
        std::sort(fresh.begin(), fresh.end());
        EXPECT_EQ(live, fresh) << "written:\n" << readHostFile(reg);
    }
};

}  // namespace

TEST(RegistryRoundTrip, DeletingAnyKeyOfRandomFilesKeepsEverythingElse) {
    RoundTrip t;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        regtest::RegTextGen gen(seed);
        const std::string text = gen.file();
        const auto keys = keysOf(parseRegFile(text).sections);
        if (keys.empty()) continue;
        auto it = keys.begin();
        std::advance(it, gen.pick(0, static_cast<int>(keys.size()) - 1));
        SCOPED_TRACE("seed " + std::to_string(seed));
        t.check(text, it->second);
        if (::testing::Test::HasFailure()) break;  // one counterexample is enough to read
    }
}

TEST(RegistryRoundTrip, HexDataEndingOnABlankLineKeepsTheNextSectionAfterADeletion) {
    RoundTrip t;
    // The blank line ends the continued value of A; B follows without one.
    const std::string text =
        "WINE REGISTRY Version 2\n\n[A] 1\n\"h\"=hex:01,02,\\\n  03,\\\n\n[A\\\\B] 2\n\"v\"=\"1\"\n[C] 3\n\"w\"=\"2\"\n";
    t.check(text, "A\\B");
    const std::string after = readHostFile(t.reg);
    EXPECT_EQ(after, "WINE REGISTRY Version 2\n\n[A] 1\n\"h\"=hex:01,02,\\\n  03,\\\n\n[C] 3\n\"w\"=\"2\"\n");
    EXPECT_TRUE(Registry(t.options()).exists("C"));

    // The same with the continued value in the deleted section: the next
    // section stays a section.
    t.check("WINE REGISTRY Version 2\n[A] 1\n[A\\\\B] 2\n\"h\"=hex(3):01,\\\n\n[C] 3\n", "A\\B");
    EXPECT_TRUE(Registry(t.options()).exists("C"));
}

TEST(RegistryRoundTrip, ImpliedParentIsWrittenUnderTheNameItWasReadWith) {
    RoundTrip t;
    for (const std::string spelled : {"Caf\xe9", "Caf\xc3\xa9x", "Caf\\x00e9a", "M\\]x\\[\\\\Sub", "Lone\xed\xa0\x80"}) {
        const std::string text = "WINE REGISTRY Version 2\n\n[Software\\\\" + spelled + "\\\\Leaf] 1\n\n[Z] 2\n";
        SCOPED_TRACE(spelled);
        const Path parent = parseRegFile(text).sections[0].path;
        ASSERT_EQ(parent.size(), 3u + (spelled.find("Sub") != std::string::npos));
        const std::string parentPath = joined(parent, parent.size() - 1);
        const auto before = Registry(t.options()).subkeys("Software");
        t.check(text, parentPath + "\\Leaf");
        // The programs see the parent under the same name as before.
        Registry r(t.options());
        EXPECT_TRUE(r.exists(parentPath)) << parentPath;
        EXPECT_TRUE(r.subkeys(parentPath).empty());
        EXPECT_EQ(r.subkeys("Software").front(), parent[1]);
    }
}
