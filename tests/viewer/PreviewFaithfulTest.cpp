// Where the preview once told a removal other than the real one: keys that
// go with their parent, files reached by several spellings, hidden ".pnf"
// companions, the layout of a run that stops early, and what the machine's
// registry refuses or cannot write. Each is previewed and then run for real.
#include <gtest/gtest.h>

#include <sstream>

#include "fixtures/Faults.h"
#include "sysaccess/registry/RegFileStore.h"
#include "sysaccess/registry/Registry.h"
#include "viewer/PreviewHarness.h"
#include "viewer/Report.h"

using namespace preview_test;
namespace mb = sysaccess::ui::mb;

namespace {

const std::string Other = "C:\\windows\\inf\\other\\";
const std::string InfFolder = "C:\\windows\\inf\\";

// Yes to the confirmation, No to a restart, OK to a report.
void removeForReal(RemoverRun& run) {
    run.start();
    ASSERT_TRUE(run.window().Check1.Enabled);
    run.uninstall({mb::Yes, mb::No});
}

std::vector<std::string> filesListed(const busview::PreviewResult& p) {
    std::vector<std::string> files;
    for (const auto& c : p.changes) {
        if (c.kind == busview::PreviewChange::Kind::DeleteFile) files.push_back(c.what);
    }
    return files;
}

sysaccess::registry::Registry registryOf(RemoverRun& run) {
    return sysaccess::registry::Registry({.systemReg = run.prefix.path() / "system.reg"});
}

}  // namespace

TEST(PreviewFaithful, KeysThatGoWithTheirParentAreListedUnderItInTextAndJson) {
    RemoverRun run;
    Image image("nine-x");
    image.keys = {"Enum\\QRXPORT\\QRXCOM\\0000", "Enum\\QRXPORT\\QRXCOM\\0001", "Enum\\ROOT\\*PNP0C01\\0000"};
    image.files = {{"C:\\windows\\system\\QRXSER.VXD", "x"}};
    image.script.removal = {"[Delete Registry]", "[Delete System]", "QRXSER.VXD"};
    make(run, image);
    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);

    std::vector<std::string> keys;
    for (const auto& c : p.changes) {
        if (c.kind == busview::PreviewChange::Kind::DeleteKey) keys.push_back(c.what + " <" + c.takenWith + ">");
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Enum\\QRXPORT <>", "Enum\\QRXPORT\\QRXCOM <Enum\\QRXPORT>",
                                              "Enum\\QRXPORT\\QRXCOM\\0000 <Enum\\QRXPORT>",
                                              "Enum\\QRXPORT\\QRXCOM\\0001 <Enum\\QRXPORT>"}));
    std::ostringstream text, json;
    busview::writePreviewText(text, script.layout, p);
    EXPECT_NE(text.str().find("    delete key Enum\\QRXPORT  [CleanRegistry, entry 1]\n"
                              "      removed with its parent: Enum\\QRXPORT\\QRXCOM\n"
                              "      removed with its parent: Enum\\QRXPORT\\QRXCOM\\0000\n"),
              std::string::npos)
        << text.str();
    busview::writeJson(json, script.layout, {}, &p);
    EXPECT_NE(json.str().find("{\"change\":\"delete key\",\"what\":\"Enum\\\\QRXPORT\",\"entry\":1,\"step\":"
                              "\"CleanRegistry\",\"withParent\":false}"),
              std::string::npos);
    EXPECT_NE(json.str().find("\"what\":\"Enum\\\\QRXPORT\\\\QRXCOM\\\\0001\",\"entry\":1,\"step\":\"CleanRegistry\","
                              "\"withParent\":true,\"removedWith\":\"Enum\\\\QRXPORT\"}"),
              std::string::npos);

    // The real run takes the same keys with one deletion, and leaves the rest.
    removeForReal(run);
    const auto reg = registryOf(run);
    for (const char* k : {"Enum\\QRXPORT", "Enum\\QRXPORT\\QRXCOM\\0001"}) EXPECT_FALSE(reg.exists(k)) << k;
    EXPECT_TRUE(reg.exists("Enum\\ROOT\\*PNP0C01\\0000"));
}

// ".\NAME" and another letter case reach the same file: it is deleted once,
// listed by the name the machine stores, and a later search no longer finds
// it. An oem file deleted by a folder step is gone for the oem step too, so
// its companion stays, as in the real run.
TEST(PreviewFaithful, AFileReachedBySeveralSpellingsIsListedOnceByItsStoredName) {
    RemoverRun run;
    Image image("spellings");
    image.files = {{Other + "VENDOR.INF", "v"}, {InfFolder + "oem3.inf", inf(remover_test::Pair1)},
                   {InfFolder + "oem3.pnf", "p"}};
    image.script.removal = {"[Delete Other]", ".\\VENDOR.INF", "vendor.inf", "[Delete Inf]", ".\\OEM3.INF",
                            "[Delete W2kinf]"};
    make(run, image);
    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);
    EXPECT_EQ(filesListed(p), (std::vector<std::string>{Other + "VENDOR.INF", InfFolder + "oem3.inf"}));
    EXPECT_EQ(p.failure, "");

    removeForReal(run);
    EXPECT_FALSE(run.exists(Other + "VENDOR.INF"));
    EXPECT_FALSE(run.exists(InfFolder + "oem3.inf"));
    EXPECT_TRUE(run.exists(InfFolder + "oem3.pnf"));
}

// Deleting a file does not ask whether a search would list it: the hidden
// companion of an oem file goes, in the preview as in the real run.
TEST(PreviewFaithful, AHiddenCompanionGoesWithItsOemFile) {
    RemoverRun run;
    Image image("hidden companion");
    image.files = {{InfFolder + "OEM5.INF", inf(remover_test::Pair1)}};
    image.script.removal = {"[Delete W2kinf]"};
    make(run, image);
    run.prefix.file(InfFolder + "OEM5.pnf", "p", fixtures::Attr::Hidden);
    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);
    EXPECT_EQ(filesListed(p), (std::vector<std::string>{InfFolder + "OEM5.INF", InfFolder + "OEM5.pnf"}));

    removeForReal(run);
    EXPECT_FALSE(run.exists(InfFolder + "OEM5.INF"));
    EXPECT_FALSE(run.exists(InfFolder + "OEM5.pnf"));
}

// A read-only driver database stops the run right after the layout was
// detected: the preview reports that layout with the run's report.
TEST(PreviewFaithful, ARunThatStopsAfterDetectingTheLayoutReportsIt) {
    RemoverRun run;
    Image image("stops early");
    image.keys = {"Enum\\QRXPORT\\QRXCOM\\0000"};
    image.files = {{"C:\\windows\\system\\QRXSER.VXD", "x"}};
    image.script.removal = {"[Delete Registry]", "[Delete System]", "QRXSER.VXD"};
    make(run, image);
    run.prefix.file(InfFolder + "Drvdata.bin", "d", fixtures::Attr::ReadOnly);
    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);
    EXPECT_EQ(p.family, 1);
    EXPECT_TRUE(p.changes.empty());
    ASSERT_EQ(p.boxes.size(), 2u);
    EXPECT_EQ(p.boxes[1].text, "Run-time error '75':\n\nPath/File access error");
    std::ostringstream text;
    busview::writePreviewText(text, script.layout, p);
    EXPECT_NE(text.str().find("  Registry layout: 9x (Enum\\)\n"), std::string::npos) << text.str();

    run.start();
    run.uninstall({mb::Yes, mb::Ok});
    ASSERT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.driver.boxes()[1].text, p.boxes[1].text);
    EXPECT_TRUE(registryOf(run).exists("Enum\\QRXPORT"));
}

// The keys of the host's root hubs stay whatever is asked; a Wine server
// holding the image stops the first deletion with the machine's report.
TEST(PreviewFaithful, TheRegistryRefusesAndFailsInThePreviewAsInTheRun) {
    {
        RemoverRun run;
        Image image("hubs");
        image.keys = {"Enum\\USB\\VID_0E4B&PID_0204\\1", "Enum\\ROOT\\*PNP0C01\\0000"};
        image.files = {{"C:\\windows\\system\\QRXSER.VXD", "x"}};
        image.script.matches = {"USB"};
        image.script.removal = {"[Delete Registry]", "Enum", "[Delete System]", "QRXSER.VXD"};
        make(run, image);
        run.hostHub("usb1");
        const ScriptOf script(run);
        const busview::PreviewResult p = preview(run, script.layout);
        for (const auto& c : p.changes) EXPECT_EQ(c.what.find("Enum\\USB"), std::string::npos) << c.what;

        removeForReal(run);
        EXPECT_TRUE(registryOf(run).exists("Enum\\USB\\VID_0E4B&PID_0204\\1"));
        EXPECT_EQ(previewList(p), realList(run, {upper("C:\\windows\\system\\QRXSER.VXD")}));
    }
    RemoverRun run;
    Image image("in use by Wine");
    image.keys = {"Enum\\QRXPORT\\QRXCOM\\0000"};
    image.files = {{"C:\\windows\\system\\QRXSER.VXD", "x"}};
    image.script.removal = {"[Delete Registry]", "[Delete System]", "QRXSER.VXD"};
    make(run, image);
    fixtures::HeldServerLock server(run.wineServerRoot() /
                                    sysaccess::registry::wineServerFolderName(run.prefix.path()) / "lock");
    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);
    EXPECT_TRUE(p.changes.empty());
    ASSERT_EQ(p.boxes.size(), 2u);
    EXPECT_EQ(p.boxes[1].text.rfind("Run-time error '70':", 0), 0u) << p.boxes[1].text;

    run.start();
    run.uninstall({mb::Yes, mb::Ok});
    ASSERT_EQ(run.driver.boxes().size(), 2u);
    EXPECT_EQ(run.driver.boxes()[1].text, p.boxes[1].text);
}
