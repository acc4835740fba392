// The preview and the real removal cannot disagree: on the same machine
// images, the keys and files the dry run lists are exactly the ones the real
// run deletes, in the same order, and the dry run leaves the image as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "viewer/PreviewHarness.h"

using namespace remover_test;
using namespace preview_test;
namespace mb = sysaccess::ui::mb;

namespace {

const std::string NtEnum = "SYSTEM\\CurrentControlSet\\Enum\\";

std::vector<Image> images() {
    std::vector<Image> all;
    Image nine("nine-x full");
    nine.keys = {"Enum\\ROOT\\*PNP0C01\\0000", "Enum\\USB\\VID_046D&PID_C00E\\6&1234&0&1",
                 "Enum\\USB\\VID_0E4B&PID_0204\\5&2C3D&0&1", "Enum\\QRXPORT\\QRXCOM\\0000",
                 "Enum\\QRXPORTLPT\\QRXLPT\\0000", "System\\CurrentControlSet\\Services\\Class\\QRXSERIAL\\0000",
                 "System\\CurrentControlSet\\Control\\Print\\Monitors\\QRX Port Monitor",
                 "System\\CurrentControlSet\\Control\\Print\\Ports\\QRXSERIAL"};
    nine.files = {{"C:\\windows\\system\\QRXSER.VXD", "x"},          {"C:\\windows\\system32\\drivers\\QRXUSB.SYS", "x"},
                  {"C:\\windows\\inf\\QRXSER.INF", inf("x")},        {"C:\\windows\\inf\\QRXPORT.INF", inf("x")},
                  {"C:\\windows\\inf\\other\\TarnwickQRX.INF", "x"}, {"C:\\windows\\inf\\OEM2.INF", inf("USB\\VID_0E4B&PID_0204")},
                  {"C:\\windows\\inf\\OEM2.pnf", "p"},               {"C:\\windows\\inf\\Drvdata.bin", "d"},
                  {"C:\\windows\\inf\\DRVIDX.BIN", "i"}};
    nine.script.matches = {"VID_0E4B"};
    nine.script.removal = {"[Delete Registry]", "Enum\\USB", "QRXSERIAL", "QRX Port Monitor", "[Delete System]",
                           "QRXSER.VXD", "[Delete System32]", "QRXUSB.SYS", "[Delete Inf]", "QRX*.INF",
                           "[Delete Other]", "TarnwickQRX.INF", "[Delete W2kinf]"};
    all.push_back(nine);

    // Patterns that match several files, hidden files that are passed over,
    // and oem files matching different pairs.
    Image patterns("nine-x patterns");
    patterns.keys = {"Enum\\USB\\VID_0E4B&PID_0201\\1", "Enum\\USB\\VID_0E4B&PID_0202\\1", "Enum\\USB\\VID_0E4B&PID_0203\\1"};
    patterns.files = {{"C:\\windows\\system\\QRX1.VXD", "1"}, {"C:\\windows\\system\\qrx2.vxd", "2"},
                      {"C:\\windows\\system\\QRX3.VXD", "3"}, {"C:\\windows\\inf\\oem0.inf", inf("VID_07A6&PID_0986")},
                      {"C:\\windows\\inf\\oem0.pnf", "p"}, {"C:\\windows\\inf\\oem7.inf", inf("VID_050D&PID_2001")},
                      {"C:\\windows\\inf\\oem9.inf", inf("VID_0E4B&PID_0230")}};
    patterns.script.matches = {"VID_0E4B"};
    patterns.script.removal = {"[Delete System]", "QRX*.VXD", "[Delete Registry]", "Enum\\USB", "[Delete W2kinf]", "x"};
    all.push_back(patterns);

    // No registry section: nothing detected, nothing asked.
    Image files("files only");
    files.keys = {"Enum\\ROOT\\*PNP0C01\\0000"};
    files.files = {{"C:\\windows\\system32\\drivers\\QRXUSB.SYS", "x"}, {"C:\\windows\\inf\\other\\A.INF", "a"},
                   {"C:\\windows\\inf\\other\\B.INF", "b"}};
    files.script.removal = {"[Delete System32]", "QRXUSB.SYS", "[Delete Other]", "*.INF"};
    all.push_back(files);

    Image nt("nt tree", true);
    nt.keys = {"SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter",
               NtEnum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port0",
               NtEnum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port1", NtEnum + "KELVARN\\QRXBUS",
               NtEnum + "USB\\ROOT_HUB\\4&1234&0", NtEnum + "USB\\VID_0E4B&PID_0204\\5&2C3D&0&1\\Device Parameters",
               NtEnum + "USB\\VID_046D&PID_C00E\\6&5678&0&1", NtEnum + "ROOT\\LEGACY_BEEP\\0000"};
    nt.files = {{"C:\\windows\\system32\\drivers\\QRXUSB.SYS", "x"}};
    nt.script.matches = {"VID_0E4B"};
    nt.script.removal = {"[Delete Registry]", "unused", "[Delete System32]", "QRXUSB.SYS"};
    all.push_back(nt);

    // A fourth-level key keeps the enumerator: the run ends with the failure message.
    Image stuck = nt;
    stuck.name = "nt stuck";
    stuck.keys.push_back(NtEnum + "KELVARN\\VID_0E4B&PID_02XX\\6&1A&0\\QRXCOM\\Port0\\Extra");
    all.push_back(stuck);

    // Two devices and oem files on the NT layout.
    Image ntOem("nt two devices", true);
    ntOem.keys = {"SYSTEM\\CurrentControlSet\\Control\\COM Name Arbiter",
                  NtEnum + "USB\\VID_0E4B&PID_0204\\A\\Device Parameters", NtEnum + "USB\\VID_0E4B&PID_0205\\B",
                  NtEnum + "USB\\VID_050D&PID_0109\\C"};
    ntOem.files = {{"C:\\windows\\inf\\oem3.inf", inf("USB\\VID_050D&PID_0109")}, {"C:\\windows\\inf\\oem3.pnf", "p"},
                   {"C:\\windows\\inf\\oem4.inf", inf("USB\\VID_1234&PID_0001")}};
    ntOem.script.matches = {"VID_0E4B", "VID_050D"};
    ntOem.script.removal = {"[Delete W2kinf]", "x", "[Delete Registry]", "x"};
    all.push_back(ntOem);
    return all;
}

}  // namespace

TEST(PreviewMatchesRun, SameKeysAndFilesInTheSameOrderOnSixImages) {
    for (const Image& image : images()) {
        SCOPED_TRACE(image.name);
        RemoverRun run;
        make(run, image);
        const std::string regBefore = fixtures::readHostFile(run.prefix.path() / "system.reg");
        std::vector<std::string> existed;
        for (const auto& f : image.files) existed.push_back(upper(f.first));

        const ScriptOf script(run);
        const busview::PreviewResult p = preview(run, script.layout);
        ASSERT_FALSE(p.startupEnded);
        ASSERT_TRUE(p.removalRan);
        EXPECT_EQ(p.failure, "");
        // The dry run changed nothing.
        EXPECT_EQ(fixtures::readHostFile(run.prefix.path() / "system.reg"), regBefore);
        for (const auto& f : image.files) EXPECT_TRUE(run.exists(f.first)) << f.first;

        run.start();
        ASSERT_TRUE(run.window().Check1.Enabled);
        for (int i = 0; i < 4; ++i) run.driver.answer(i == 0 ? mb::Yes : mb::No);
        run.driver.click("Uninstall", "Check1");
        run.driver.click("Uninstall", "Command1");

        const auto listed = previewList(p);
        EXPECT_FALSE(listed.empty());
        EXPECT_EQ(listed, realList(run, existed));
        // The same boxes, in the same order.
        ASSERT_EQ(p.boxes.size(), run.driver.boxes().size());
        for (std::size_t i = 0; i < p.boxes.size(); ++i) EXPECT_EQ(p.boxes[i].text, run.driver.boxes()[i].text);
        EXPECT_EQ(p.family, image.nt ? 2 : (image.name == "files only" ? 0 : 1));
    }
}

// A file the machine refuses to delete stops the real run with the standard
// report; the preview stops at the same file with the same report, having
// listed only what the run deleted before it.
TEST(PreviewMatchesRun, AReadOnlyFileStopsBothAtTheSameFile) {
    Image image = images().front();
    RemoverRun run;
    make(run, image);
    run.prefix.file("C:\\windows\\system32\\drivers\\QRXUSB.SYS", "x", fixtures::Attr::ReadOnly);
    std::vector<std::string> existed;
    for (const auto& f : image.files) existed.push_back(upper(f.first));

    const ScriptOf script(run);
    const busview::PreviewResult p = preview(run, script.layout);
    EXPECT_TRUE(run.exists("C:\\windows\\system\\QRXSER.VXD"));

    run.start();
    for (int i = 0; i < 4; ++i) run.driver.answer(i == 0 ? mb::Yes : mb::Ok);
    run.driver.click("Uninstall", "Check1");
    run.driver.click("Uninstall", "Command1");

    const auto listed = previewList(p);
    EXPECT_EQ(listed, realList(run, existed));
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "file C:\\WINDOWS\\SYSTEM32\\DRIVERS\\QRXUSB.SYS"), 0);
    EXPECT_TRUE(run.exists("C:\\windows\\system32\\drivers\\QRXUSB.SYS"));
    ASSERT_EQ(p.boxes.size(), run.driver.boxes().size());
    ASSERT_FALSE(p.boxes.empty());
    EXPECT_EQ(p.boxes.back().text, run.driver.boxes().back().text);
    EXPECT_EQ(p.boxes.back().text, "Run-time error '75':\n\nPath/File access error");
}
