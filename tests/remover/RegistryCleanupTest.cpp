// The registry step: layout detection, the 9x walks with the driver database
// files, the NT bottom-up walks with the failure message, and refusals.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "RegistryMachine.h"
#include "fixtures/Faults.h"

using namespace remover_test;
namespace mb = sysaccess::ui::mb;

TEST(RegistryCleanup, LayoutIsNtOnlyWhenTheArbiterIsAmongTheFirst51ControlKeys) {
    for (int before : {50, 51}) {
        Keys keys;
        for (int i = 0; i < before; ++i) keys.push_back(Ctl + "Key" + std::to_string(100 + i));
        keys.push_back(NtMarker);
        Machine m(keys, false);
        m.clean("[Delete Registry]");
        EXPECT_EQ(m.window().SystemFamily, before == 50 ? 2 : 1) << before;
    }
    // Only the exact name marks the NT layout.
    for (const char* name : {"COM NAME ARBITER", "COM Name Arbiter 2"}) {
        Machine m({Ctl + name}, false);
        m.clean("[Delete Registry]");
        EXPECT_EQ(m.window().SystemFamily, 1) << name;
    }
}

TEST(RegistryCleanup, DatabaseFilesGoOnlyIn9xLayoutAndInTheirTwoKnownSpellings) {
    struct Case {
        Keys files;
        bool nt;
        bool gone;
    };
    for (const Case& c : {Case{{"Drvdata.bin", "DRVIDX.BIN"}, false, true}, Case{{"DrvData.BIN", "drvidx.bin"}, false, false},
                          Case{{"Drvdata.bin", "Drvidx.bin"}, true, false}}) {
        Machine m(c.nt ? Keys{NtMarker} : Keys{}, c.nt);
        for (const auto& f : c.files) m.prefix.file("C:\\windows\\inf\\" + f);
        m.clean("[Delete Registry]");
        for (const auto& f : c.files) EXPECT_EQ(m.exists("C:\\windows\\inf\\" + f), !c.gone) << f;
    }
}

TEST(RegistryCleanup, MatchWalkStartsOverAtIndexOneAndMatchesExactly) {
    const Keys names{"ROOT_HUB", "Vid_0e4b&Pid_0203", "R2", "R3", "R4", "VID_0E4B&PID_0201", "VID_0E4B&PID_0202"};
    Keys keys;
    for (const auto& n : names) keys.push_back("Enum\\USB\\" + n + "\\0000");

    {
        Machine m(keys, false);
        m.clean("Enum\\USB");
        EXPECT_EQ(m.subkeys("Enum\\USB"), Keys(names.begin(), names.begin() + 5));
        std::vector<int> read;
        const auto& calls = m.calls().calls;
        const auto open =
            std::find_if(calls.begin(), calls.end(), [](auto& c) { return c.op == "open" && c.arg == "Enum\\USB"; });
        ASSERT_NE(open, calls.end());
        for (auto c = open; c != calls.end(); ++c)
            if (c->op == "enum" && c->handle == open->handle) read.push_back(std::stoi(c->arg));
        std::vector<int> expected{0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5};
        for (int i = 1; i <= 20; ++i) expected.push_back(i);
        EXPECT_EQ(read, expected);
    }
    {
        Machine markerFirst(keys, false);
        markerFirst.clean("Enum\\USB", {"==========", "VID_0E4B"});
        EXPECT_EQ(markerFirst.subkeys("Enum\\USB"), names);
    }

    // An empty entry matches nothing, all 20 entries count without a marker,
    // and entries 21-22 are never used.
    Keys matches{""};
    for (int i = 2; i <= 19; ++i) matches.push_back("nothing" + std::to_string(i));
    matches.insert(matches.end(), {"PID_0202", "VID_0E4B", "=========="});
    Machine noMarker(keys, false);
    noMarker.clean("Enum\\USB", matches);
    EXPECT_EQ(noMarker.subkeys("Enum\\USB"), Keys(names.begin(), names.begin() + 6));
}

TEST(RegistryCleanup, EnumeratorPassesOverItsNeighbourAndNamedKeysGo) {
    Machine m({"Enum\\Root\\A", "Enum\\USB\\B", "Enum\\Net\\C", "Enum\\QRXPORT\\1", "Enum\\QRXPORT2\\1", "Enum\\ZZZ\\1",
               Class9x + "QRXUSB\\0000", Class9x + "Ports\\0000", Print9x + "Monitors\\QRXUSB",
               Print9x + "Monitors\\Local Port", Print9x + "Ports\\QRXUSB", Print9x + "Ports\\LPT1:"},
              false);
    m.clean("QRXUSB");
    EXPECT_EQ(m.window().SystemFamily, 1);
    EXPECT_EQ(m.subkeys("Enum"), (Keys{"Root", "USB", "Net", "QRXPORT2", "ZZZ"}));
    EXPECT_EQ(m.subkeys(Class9x), Keys{"Ports"});
    EXPECT_EQ(m.subkeys(Print9x + "Monitors"), Keys{"Local Port"});
    EXPECT_EQ(m.subkeys(Print9x + "Ports"), Keys{"LPT1:"});
    m.clean("[Delete Registry]");
    EXPECT_EQ(m.subkeys("Enum"), (Keys{"Root", "USB", "Net", "ZZZ"}));
}

TEST(RegistryCleanup, NtRunTakesTheDeviceApartLeafByLeafThenTheEnumeratorAndTheUsbKeys) {
    Machine m({NtMarker, Device + "L1\\L2\\A", Device + "L1\\L2\\B", NtEnum + "KELVARN\\Other",
               NtEnum + "Root\\LEGACY_BEEP\\0000", Usb + "ROOT_HUB\\4&1", Usb + "VID_046D&PID_C016\\5&1",
               Usb + "VID_0E4B&PID_0201\\5&2A\\Device Parameters", Usb + "VID_0E4B&PID_0202\\5&2B"},
              true);
    m.start();
    m.uninstall({mb::Yes, mb::Ok});
    EXPECT_TRUE(m.driver.finished());
    ASSERT_EQ(m.driver.boxes().size(), 2u);
    EXPECT_EQ(m.driver.boxes()[1].style, 48);  // the restart notice, not the failure
    const Keys deleted = m.deletes();
    ASSERT_GE(deleted.size(), 4u);
    EXPECT_EQ(Keys(deleted.begin(), deleted.begin() + 4), (Keys{"A", "B", "L2", "L1"}));
    EXPECT_EQ(m.subkeys(NtEnum), (Keys{"Root", "USB"}));
    EXPECT_EQ(m.subkeys(Usb), (Keys{"ROOT_HUB", "VID_046D&PID_C016"}));
    for (const auto& k : {Usb + "ROOT_HUB\\4&1", Usb + "VID_046D&PID_C016\\5&1", NtEnum + "Root\\LEGACY_BEEP\\0000"})
        EXPECT_TRUE(m.has(k)) << k;
    EXPECT_FALSE(m.exists("C:\\windows\\system\\QRXSER.VXD"));
}

TEST(RegistryCleanup, SurvivingEnumeratorEndsTheRunWithTheFailureMessage) {
    Machine m({NtMarker, Device + "L1\\L2\\L3\\L4", Usb + "VID_0E4B&PID_0201\\5&2A"}, true);
    m.start();
    m.uninstall({mb::Yes, mb::Ok});
    EXPECT_TRUE(m.driver.finished());
    ASSERT_EQ(m.driver.boxes().size(), 2u);
    EXPECT_EQ(m.driver.boxes()[1].text, FailText);
    EXPECT_EQ(m.driver.boxes()[1].style, 16);
    EXPECT_EQ(m.driver.boxes()[1].title, "Uninstall Fail");
    EXPECT_TRUE(m.has(Device + "L1\\L2\\L3\\L4"));
    EXPECT_TRUE(m.has(Usb + "VID_0E4B&PID_0201\\5&2A"));  // the USB walk never ran
    EXPECT_TRUE(m.exists("C:\\windows\\system\\QRXSER.VXD"));  // nor the later entries
}

TEST(RegistryCleanup, UsbWalkTriesARefusedKeyOnceAndDeletesOnlyTheAdaptersKeys) {
    // 5&2A\X holds a key of its own, which the walk never takes apart.
    {
        Machine refused({NtMarker, Usb + "ROOT_HUB\\4&1", Usb + "VID_0E4B&PID_0201\\5&2A\\X\\Y",
                         Usb + "VID_0E4B&PID_0202\\5&2B"},
                        true);
        // The key that stays ends the removal with the failure message.
        refused.driver.answer(mb::Ok);
        refused.clean("[Delete Registry]");
        EXPECT_TRUE(refused.driver.finished());
        ASSERT_EQ(refused.driver.boxes().size(), 1u);
        EXPECT_EQ(refused.driver.boxes()[0].title, "Uninstall Fail");
        EXPECT_EQ(refused.subkeys(Usb), (Keys{"ROOT_HUB", "VID_0E4B&PID_0201"}));
        EXPECT_TRUE(refused.has(Usb + "VID_0E4B&PID_0201\\5&2A\\X\\Y"));
        // X is tried again only after the walk deleted something since its
        // last refusal: first, after 5&2B went, after VID_0E4B&PID_0202 went
        // (in the second pass nothing else goes).
        const Keys deleted = refused.deletes();
        EXPECT_EQ(std::count(deleted.begin(), deleted.end(), "X"), 3);
    }

    // Once VID_0E4B&PID_0201 is gone, the key moved into its place is
    // another device's, which the second entry must not take.
    {
        Machine moved({NtMarker, Usb + "ROOT_HUB\\4&1", Usb + "VID_0E4B&PID_0201", Usb + "VID_1234&PID_5678"}, true);
        moved.clean("[Delete Registry]", {"VID_0E4B", "PID_0201", "=========="});
        EXPECT_EQ(moved.subkeys(Usb), (Keys{"ROOT_HUB", "VID_1234&PID_5678"}));
    }

    // Keys of the adapter that move into the freed place are the adapter's
    // own: all four adjacent ones go, and another device's key after them stays.
    {
        Machine adjacent({NtMarker, Usb + "ROOT_HUB\\4&1", Usb + "VID_0E4B&PID_0201", Usb + "VID_0E4B&PID_0202",
                          Usb + "VID_0E4B&PID_0203", Usb + "VID_0E4B&PID_0204"},
                         true);
        adjacent.clean("[Delete Registry]", {"VID_0E4B", "PID_0201", "=========="});
        EXPECT_EQ(adjacent.subkeys(Usb), (Keys{"ROOT_HUB"}));
    }
    Machine spared({NtMarker, Usb + "ROOT_HUB\\4&1", Usb + "VID_0E4B&PID_0201", Usb + "VID_0E4B&PID_0202",
                    Usb + "VID_0E4B&PID_0203", Usb + "VID_0E4B&PID_0204", Usb + "VID_AAAA&PID_0001"},
                   true);
    spared.clean("[Delete Registry]", {"VID_0E4B", "PID_0201", "=========="});
    EXPECT_EQ(spared.subkeys(Usb), (Keys{"ROOT_HUB", "VID_AAAA&PID_0001"}));
}

// A deletion the registry refuses for rights (as on a device tree that
// belongs to the system) is never reported as a removal done: an adapter key
// still there when the USB walk ends ends the run with the failure message,
// and one that went in the second pass does not.
TEST(RegistryCleanup, UsbKeyRefusedForRightsEndsTheRunWithTheFailureMessageOnlyWhileItStays) {
    const Keys keys{NtMarker, Usb + "ROOT_HUB\\4&1", Usb + "VID_0E4B&PID_0201\\5&2A",
                    Usb + "VID_0E4B&PID_0202\\5&2B\\Device Parameters", Usb + "VID_046D&PID_C016\\5&1"};
    {
        Machine m(keys, true);
        m.start();
        m.calls().refusals["5&2B"] = 1000;
        m.uninstall({mb::Yes, mb::Ok});
        EXPECT_TRUE(m.driver.finished());
        ASSERT_EQ(m.driver.boxes().size(), 2u);
        EXPECT_EQ(m.driver.boxes()[1].text, FailText);
        EXPECT_EQ(m.driver.boxes()[1].title, "Uninstall Fail");
        // The walk took what it could: the other adapter key and the refused key's leaf.
        EXPECT_EQ(m.subkeys(Usb), (Keys{"ROOT_HUB", "VID_046D&PID_C016", "VID_0E4B&PID_0202"}));
        EXPECT_EQ(m.subkeys(Usb + "VID_0E4B&PID_0202\\5&2B"), Keys{});
        EXPECT_TRUE(m.exists("C:\\windows\\system\\QRXSER.VXD"));  // the removal stopped there
    }
    Machine once(keys, true);
    once.start();
    once.calls().refusals["VID_0E4B&PID_0202"] = 1;
    once.uninstall({mb::Yes, mb::Ok});
    ASSERT_EQ(once.driver.boxes().size(), 2u);
    EXPECT_EQ(once.driver.boxes()[1].style, 48);  // the restart notice
    EXPECT_EQ(once.subkeys(Usb), (Keys{"ROOT_HUB", "VID_046D&PID_C016"}));
    EXPECT_FALSE(once.exists("C:\\windows\\system\\QRXSER.VXD"));
}

// A key refused at the saved index while it still had a subkey goes once the
// walk has taken that subkey and meets the key again there.
TEST(RegistryCleanup, UsbKeyRefusedWhileItHadASubkeyGoesOnceItHasNone) {
    Machine m({NtMarker, Usb + "AAA20", Usb + "VID_0E4B&PID_0205", Usb + "VID_0E4B&PID_0206\\I0",
               Usb + "VID_0E4B&PID_020D\\I0", Usb + "VID_0E4B&PID_0210\\I1"},
              true);
    m.clean("[Delete Registry]", {"PID_02", "VID_0E4B&PID_02", "=========="});
    EXPECT_FALSE(m.driver.finished());  // no failure message
    EXPECT_EQ(m.subkeys(Usb), (Keys{"AAA20"}));
}

TEST(RegistryCleanup, RegistryHeldByAWineServerEndsTheRunWithTheReportAndStaysByteForByte) {
    for (const bool nt : {false, true}) {
        Machine m(nt ? Keys{NtMarker, Device + "L1", Usb + "VID_0E4B&PID_0201\\5&2A"}
                     : Keys{"Enum\\USB\\VID_0E4B&PID_0201\\0001", "Enum\\QRXPORT\\1", Class9x + "QRXUSB\\0000"},
                  nt, {"[Delete Registry]", "Enum\\USB", "QRXUSB"});
        const std::string before = fixtures::readHostFile(m.regFile());
        fixtures::HeldServerLock server(m.wineServerRoot() / sysaccess::registry::wineServerFolderName(m.prefix.path()) /
                                        "lock");
        m.start();
        m.uninstall({mb::Yes, mb::Ok});
        EXPECT_TRUE(m.driver.finished());
        EXPECT_TRUE(m.driver.unexpectedBoxes().empty());
        EXPECT_EQ(fixtures::readHostFile(m.regFile()), before);
        // The first deletion that would change the file ends the run with the
        // standard report; no restart question and no failure notice follow.
        ASSERT_EQ(m.driver.boxes().size(), 2u);
        EXPECT_EQ(m.driver.boxes()[1].title, "Busclean");
        EXPECT_EQ(m.driver.boxes()[1].style, mb::Critical);
        EXPECT_EQ(m.driver.boxes()[1].text.rfind("Run-time error '70':\n\nThe machine image is in use by Wine", 0), 0u)
            << m.driver.boxes()[1].text;
        EXPECT_EQ(m.deletes(), Keys{nt ? "L1" : "QRXPORT"});
        EXPECT_TRUE(m.exists("C:\\windows\\system\\QRXSER.VXD"));  // the run ended in the registry step
    }
}
