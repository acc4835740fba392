// Deleting a key rewrites system.reg: every other key keeps its name, every
// untouched section its bytes and place, and the file still reads as before
// apart from the deleted subtree.
#include "RegTextGen.h"
#include "RoundTripCheck.h"

#include <gtest/gtest.h>

using namespace sysaccess;
using namespace sysaccess::registry;
using fixtures::readHostFile;

namespace {

using Path = std::vector<std::string>;
using regtest::joinedPath;
using regtest::keysOf;

struct RoundTrip {
    fixtures::TempDir dir;
    std::filesystem::path reg = dir / "system.reg";

    Registry::Options options() const { return regtest::roundTripOptions(dir.path()); }

    void check(const std::string& text, const std::string& victim) {
        EXPECT_EQ(regtest::roundTripFault(dir.path(), text, victim), "")
            << "deleting " << victim << " from:\n" << text << "\nwrote:\n" << readHostFile(reg);
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
        const std::string parentPath = joinedPath(parent, parent.size() - 1);
        const auto before = Registry(t.options()).subkeys("Software");
        t.check(text, parentPath + "\\Leaf");
        // The programs see the parent under the same name as before.
        Registry r(t.options());
        EXPECT_TRUE(r.exists(parentPath)) << parentPath;
        EXPECT_TRUE(r.subkeys(parentPath).empty());
        EXPECT_EQ(r.subkeys("Software").front(), parent[1]);
    }
}

TEST(RegistryRoundTrip, ParentFirstNamedByTheDeletedSectionKeepsItsSpellingAndPlace) {
    RoundTrip t;
    // "Software" is first spelled by the section that goes; the next one
    // spells it otherwise.
    t.check("WINE REGISTRY Version 2\n\n[Software\\\\A] 1\n\n[software\\\\B] 2\n", "Software\\A");
    EXPECT_EQ(Registry(t.options()).subkeys(""), (std::vector<std::string>{"Software"}));

    // 9x numbering: Men comes before Emoji, though its own section is later.
    t.check("WINE REGISTRY Version 2\n\n[E\\\\Men\\\\Sub] 1\n\n[E\\\\Emoji] 2\n\n[E\\\\Men] 3\n\"v\"=\"1\"\n", "E\\Men\\Sub");
    EXPECT_EQ(Registry(t.options()).subkeys("E"), (std::vector<std::string>{"Men", "Emoji"}));

    // A parent named again right after keeps the file as it was otherwise.
    const std::string sorted = "WINE REGISTRY Version 2\n\n[E\\\\USB\\\\V1] 1\n\n[E\\\\USB\\\\V2] 2\n";
    t.check(sorted, "E\\USB\\V1");
    EXPECT_EQ(readHostFile(t.reg), "WINE REGISTRY Version 2\n\n[E\\\\USB\\\\V2] 2\n");
}
