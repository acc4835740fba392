// The removal script's names are bytes in the machine's code page; Wine keeps
// the files under UTF-8 names. A run deletes the file the name stands for
// and nothing that merely shares its bytes.
#include "RemoverHarness.h"
#include "fixtures/TempDir.h"
#include "sysaccess/RuntimeError.h"

using remover_test::RemoverRun;
using remover_test::Script;

namespace {

const std::string Sys = "C:\\windows\\system\\";

void codePage(RemoverRun& run, const std::string& acp) {
    fixtures::writeHostFile(run.prefix.path() / "system.reg",
                            fixtures::systemRegTextWithValues(
                                {{"System\\CurrentControlSet\\Control\\Nls\\CodePage", {{"ACP", acp}}}}));
}

void removeWith(RemoverRun& run, const std::vector<std::string>& removal) {
    run.removeWith(removal);
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
    EXPECT_EQ(run.driver.boxes().size(), 1u);  // only the confirmation
}

}  // namespace

TEST(CodePageFiles, ScriptNameDeletesWinesUtf8FileNotTheRawBytes) {
    RemoverRun run;  // no ACP value: Windows-1252
    const auto utf8 = run.prefix.file(Sys + "café.VXD", "driver");
    const auto raw = run.prefix.file(Sys + "caf\xE9.VXD", "someone else's");
    removeWith(run, {"[Delete System]", "caf\xE9.VXD"});

    EXPECT_FALSE(std::filesystem::exists(utf8));
    EXPECT_TRUE(std::filesystem::exists(raw));
    // One deletion besides the link file's: the raw-byte name was never found.
    EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"write", "kill", "kill"}));
}

TEST(CodePageFiles, PatternNeverReachesNamesTheCodePageCannotSpell) {
    RemoverRun run;
    run.prefix.file(Sys + "ADP.SYS", "driver");
    const auto foreign = run.prefix.file(Sys + "ADP日本.SYS", "no spelling in 1252");
    const auto raw = run.prefix.file(Sys + "ADP\xE9.SYS", "no UTF-8 name");
    removeWith(run, {"[Delete System]", "ADP*.SYS"});

    EXPECT_FALSE(run.exists(Sys + "ADP.SYS"));
    EXPECT_TRUE(std::filesystem::exists(foreign));
    EXPECT_TRUE(std::filesystem::exists(raw));
}

TEST(CodePageFiles, Big5NameWhoseSecondByteIsABackslash) {
    RemoverRun run;
    codePage(run, "950");
    const auto file = run.prefix.file(Sys + "許.VXD", "driver");
    const auto other = run.prefix.file(Sys + "許\\keep.VXD", "in a folder named 許");
    removeWith(run, {"[Delete System]", "\xB3\x5C.VXD"});

    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_TRUE(run.window().FoundName.empty());
}

TEST(CodePageFiles, ProgramFolderAndCurrentDirectoryInTheCodePage) {
    RemoverRun run;
    run.prefix.folder("C:\\Déjà");
    Script s;
    run.prefix.file("A:\\Café\\Unins.dat", s.text());
    run.start("A:\\Café", "C:\\Déjà");

    EXPECT_EQ(run.machine().programFolder(), "A:\\Caf\xE9");
    EXPECT_EQ(run.machine().currentDirectory(), "C:\\D\xE9j\xE0");
    // The script was read from the program's folder.
    ASSERT_FALSE(run.driver.finished());
    EXPECT_EQ(run.window().Check1.Caption, "USB to Serial Adapter");
}

TEST(CodePageFiles, FolderTheCodePageCannotSpellHasNoWindowsPath) {
    RemoverRun run;
    run.prefix.folder("C:\\日本");
    run.prefix.file("A:\\Unins.dat", Script().text());
    run.start("A:\\", "C:\\日本");
    EXPECT_EQ(run.machine().programFolder(), "A:\\");
    EXPECT_THROW(run.machine().currentDirectory(), sysaccess::RuntimeError);
}
