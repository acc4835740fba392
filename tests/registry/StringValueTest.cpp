// Reading string values from the file: the machine's code page and its kin.
#include <gtest/gtest.h>

#include "fixtures/TempDir.h"
#include "sysaccess/registry/Registry.h"

using sysaccess::registry::Registry;

namespace {

const char* const kFile =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage] 1700000000\n"
    "#time=1d9a1b2c3d4e5f6\n"
    "\"1252\"=\"c_1252.nls\"\n"
    "\"acp\"=\"950\"\n"
    "\"OEMCP\"=\"950\"\n"
    "\"Number\"=dword:000003b6\n"
    "\n"
    "[Software\\\\Test] 1700000000\n"
    "@=\"default\"\n"
    "\"Escapes\"=\"a\\\\b \\\"q\\\" \\x4e2d\\x6587 tab\\tend\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\\\\system32\"\n"
    "\"Long\"=\"first \\\n"
    "  second\"\n"
    "\"Open\"=\"never closed\n";

struct File {
    fixtures::TempDir dir;
    Registry registry;
    explicit File(const std::string& text)
        : registry([&] {
              fixtures::writeHostFile(dir / "system.reg", text);
              return Registry::Options{.systemReg = dir / "system.reg", .wineServerRoot = dir / "server"};
          }()) {}
};

}  // namespace

TEST(RegistryStringValue, FindsNamesCaseInsensitivelyAndDecodesWineEscapes) {
    File f(kFile);
    const std::string nls = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    EXPECT_EQ(f.registry.stringValue(nls, "ACP"), "950");
    EXPECT_EQ(f.registry.stringValue("system\\currentcontrolset\\control\\nls\\codepage", "OemCp"), "950");
    EXPECT_EQ(f.registry.stringValue("Software\\Test", ""), "default");
    EXPECT_EQ(f.registry.stringValue("Software\\Test", "@"), "default");
    EXPECT_EQ(f.registry.stringValue("Software\\Test", "Escapes"), "a\\b \"q\" \xe4\xb8\xad\xe6\x96\x87 tab\tend");
    EXPECT_EQ(f.registry.stringValue("Software\\Test", "Expand"), "%SystemRoot%\\system32");
    EXPECT_EQ(f.registry.stringValue("Software\\Test", "Long"), "first second");
}

TEST(RegistryStringValue, MissingKeysValuesAndNonStringsAreAbsent) {
    File f(kFile);
    const std::string nls = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    EXPECT_EQ(f.registry.stringValue(nls, "Number"), std::nullopt);  // a dword
    EXPECT_EQ(f.registry.stringValue(nls, "MACCP"), std::nullopt);
    EXPECT_EQ(f.registry.stringValue(nls, "AC"), std::nullopt);
    EXPECT_EQ(f.registry.stringValue("System\\CurrentControlSet", "ACP"), std::nullopt);  // parent key
    EXPECT_EQ(f.registry.stringValue("Software\\Missing", "ACP"), std::nullopt);
    EXPECT_EQ(f.registry.stringValue("Software\\Test", "Open"), std::nullopt);
    EXPECT_EQ(f.registry.stringValue(nls, ""), std::nullopt);  // no default value there

    File none("");
    EXPECT_EQ(none.registry.stringValue(nls, "ACP"), std::nullopt);
    File garbage("not a registry\n[System] 1\n\"ACP\"=\"950\"\n");
    EXPECT_EQ(garbage.registry.stringValue("System", "ACP"), std::nullopt);
}
