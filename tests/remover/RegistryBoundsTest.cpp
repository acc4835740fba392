// The index ranges of the registry step's walks, each met at its last index
// and at the one past it, and where the restartable walks start over.
#include <string>

#include "RegistryMachine.h"

using namespace remover_test;
namespace mb = sysaccess::ui::mb;

namespace {

const std::string Kelvarn = NtEnum + "KELVARN";

// Keys parent + stem + a two-digit number, from 0 up; in name order and in
// creation order alike.
Keys numbered(const std::string& parent, const std::string& stem, int count, int from = 0) {
    Keys keys;
    for (int i = from; i < from + count; ++i) keys.push_back(parent + stem + (i < 10 ? "0" : "") + std::to_string(i));
    return keys;
}

Keys operator+(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Cleans the registry for the header entry, with the failure message
// answered should it come; true when it came and ended the program.
bool cleanFails(Machine& m, const Keys& matches = {"VID_0E4B", "PID_02", "=========="}) {
    m.driver.answer(mb::Ok);
    m.clean("[Delete Registry]", matches);
    const auto& boxes = m.driver.boxes();
    EXPECT_LE(boxes.size(), 1u);
    if (boxes.empty()) return false;
    EXPECT_EQ(boxes[0].title, "Uninstall Fail");
    EXPECT_EQ(boxes[0].text, FailText);
    EXPECT_TRUE(m.driver.finished());
    return true;
}

}  // namespace

TEST(RegistryBounds, NineXMatchWalkReadsIndexes0To20AndStartsOverAtIndex1) {
    for (int fillers : {20, 21}) {
        Machine m(numbered("Enum\\USB\\", "F", fillers) + Keys{"Enum\\USB\\VID_0E4B&PID_0201"}, false);
        m.clean("Enum\\USB");
        EXPECT_EQ(m.has("Enum\\USB\\VID_0E4B&PID_0201"), fillers == 21) << "at index " << fillers;
    }

    // PID_0200 goes at index 0 and PID_0201 moves there, where the walk never
    // looks again; after PID_0203 goes at index 2, PID_0204 moving into its
    // place is reached through index 1 again.
    Machine m(Keys{"Enum\\USB\\VID_0E4B&PID_0200", "Enum\\USB\\VID_0E4B&PID_0201", "Enum\\USB\\R2",
                   "Enum\\USB\\VID_0E4B&PID_0203", "Enum\\USB\\VID_0E4B&PID_0204", "Enum\\USB\\R5"},
              false);
    m.clean("Enum\\USB");
    EXPECT_EQ(m.subkeys("Enum\\USB"), (Keys{"VID_0E4B&PID_0201", "R2", "R5"}));
}

TEST(RegistryBounds, NineXEnumeratorWalkReadsIndexes0To20) {
    for (int fillers : {20, 21}) {
        Machine m(numbered("Enum\\", "F", fillers) + Keys{"Enum\\QRXPORT\\1"}, false);
        m.clean("[Delete Registry]");
        EXPECT_EQ(m.has("Enum\\QRXPORT"), fillers == 21) << "at index " << fillers;
    }
}

// Each of the first ten cycles takes one first-level key with its one
// subkey and then meets the next first-level key, which still has subkeys
// and so is refused; the eleventh needs all its 20 steps for a key with 19
// subkeys. One subkey more needs a step or a cycle more, and the key left
// keeps the enumerator alive.
TEST(RegistryBounds, NtDeviceKeyWalkEndsAfter11CyclesOf20Steps) {
    for (int lastSubkeys : {19, 20}) {
        Keys keys{NtMarker};
        for (int c = 1; c <= 10; ++c) keys.push_back(Device + "A" + (c < 10 ? "0" : "") + std::to_string(c) + "\\B");
        Machine m(keys + numbered(Device + "A11\\", "B", lastSubkeys), true);
        const bool failed = cleanFails(m);
        EXPECT_EQ(failed, lastSubkeys == 20) << lastSubkeys;
        if (failed) {
            EXPECT_EQ(m.subkeys(Device), Keys{"A11"});
            EXPECT_EQ(m.subkeys(Device + "A11"), Keys{});
        } else {
            EXPECT_FALSE(m.has(Kelvarn));
        }
    }
}

// Eleven children of the enumerator are counted and deleted from the last
// one down; a twelfth is not counted, moves down as the others go, and
// stays, and with it the enumerator.
TEST(RegistryBounds, NtEnumeratorChildrenAreCountedUpTo11AndDeletedFromTheLastDown) {
    for (int children : {11, 12}) {
        Machine m(Keys{NtMarker} + numbered(Kelvarn + "\\", "C", children), true);
        EXPECT_EQ(cleanFails(m), children == 12) << children;
        Keys expected;
        for (int i = 10; i >= 0; --i) expected.push_back("C" + std::string(i < 10 ? "0" : "") + std::to_string(i));
        expected.push_back("KELVARN");
        EXPECT_EQ(m.deletes(), expected) << children;
        EXPECT_EQ(m.has(Kelvarn), children == 12);
        if (children == 12) {
            EXPECT_EQ(m.subkeys(Kelvarn), Keys{"C11"});
        }
    }
}

// The enumerator is deleted within the first 51 subkeys of Enum, and only a
// survivor within the first 41 gives the failure message.
TEST(RegistryBounds, NtEnumeratorDeleteReads51IndexesAndTheCheck41) {
    for (int fillers : {50, 51}) {
        Machine m(Keys{NtMarker} + numbered(NtEnum, "E", fillers) + Keys{Kelvarn}, true);
        EXPECT_FALSE(cleanFails(m)) << "at index " << fillers;
        EXPECT_EQ(m.has(Kelvarn), fillers == 51) << "at index " << fillers;
    }
    // A grandchild keeps the enumerator alive.
    for (int fillers : {40, 41}) {
        Machine m(Keys{NtMarker} + numbered(NtEnum, "E", fillers) + Keys{Kelvarn + "\\X\\Y"}, true);
        EXPECT_EQ(cleanFails(m), fillers == 40) << "at index " << fillers;
        EXPECT_TRUE(m.has(Kelvarn + "\\X\\Y"));
    }
}

TEST(RegistryBounds, NtUsbWalkReadsIndexes0To20AndStartsOverAtIndex1) {
    for (int fillers : {20, 21}) {
        Machine m(Keys{NtMarker} + numbered(Usb, "AAA", fillers) + Keys{Usb + "VID_0E4B&PID_0201\\5&2A"}, true);
        EXPECT_FALSE(cleanFails(m));
        EXPECT_EQ(m.has(Usb + "VID_0E4B&PID_0201"), fillers == 21) << "at index " << fillers;
    }

    // Each pass visits index 0 once, at its start: PID_0200 loses its
    // third-level key in the first pass and its second-level key in the
    // second, and stays. PID_0201 is reached again through index 1 after
    // each of its leaves goes, whether third- or second-level, and is gone
    // within the first pass.
    Machine m({NtMarker, Usb + "VID_0E4B&PID_0200\\5&1\\Device Parameters", Usb + "VID_0E4B&PID_0201\\5&2\\P1",
               Usb + "VID_0E4B&PID_0201\\5&2\\P2", Usb + "VID_0E4B&PID_0201\\5&3"},
              true);
    EXPECT_FALSE(cleanFails(m));
    EXPECT_EQ(m.subkeys(Usb), Keys{"VID_0E4B&PID_0200"});
    EXPECT_EQ(m.subkeys(Usb + "VID_0E4B&PID_0200"), Keys{});
    EXPECT_EQ(m.deletes(), (Keys{"Device Parameters", "P1", "P2", "5&2", "5&3", "VID_0E4B&PID_0201", "5&1"}));
}

TEST(RegistryBounds, NtUsbWalkUsesMatchEntries1To20UpToTheEndMarker) {
    const Keys keys{NtMarker, Usb + "VID_0E4B&PID_0201", Usb + "VID_0E4B&PID_0202"};
    Keys matches = numbered("", "nothing", 19, 1);
    matches.insert(matches.end(), {"PID_0202", "VID_0E4B", "VID_0E4B"});
    for (const Keys& entries : {matches, Keys{"PID_0202", "==========", "VID_0E4B"}}) {
        Machine m(keys, true);
        EXPECT_FALSE(cleanFails(m, entries));
        EXPECT_EQ(m.subkeys(Usb), Keys{"VID_0E4B&PID_0201"}) << entries.size() << " entries";
    }
}
