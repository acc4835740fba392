// The registry step of the removal run: tells the 9x from the NT registry
// layout and takes the adapter's keys out of the registry, and on the 9x
// layout deletes the driver database files.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "remover/Uninstall.h"
#include "sysaccess/Module1.h"
#include "sysaccess/ui/Application.h"
#include "sysaccess/ui/Services.h"

namespace busclean {

namespace {

using Module1::HKEY32;

constexpr const char* ControlPath = "SYSTEM\\CurrentControlSet\\Control\\";
constexpr const char* NtMarkerKey = "COM Name Arbiter";

// Keys of the NT layout, all below HKEY_LOCAL_MACHINE. "PID_02XX" is the
// key's name as written, not a pattern.
const std::string DeviceKeyPath = "SYSTEM\\CurrentControlSet\\Enum\\KELVARN\\VID_0E4B&PID_02XX\\";
const std::string DriverEnumPath = "SYSTEM\\CurrentControlSet\\Enum\\KELVARN\\";
const std::string EnumPath = "SYSTEM\\CurrentControlSet\\Enum\\";
const std::string UsbEnumPath = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
constexpr const char* DriverEnumName = "KELVARN";

// Keys of the 9x layout. The first path of each pair begins with a blank and
// so names no key: its first subkey always reads empty, and the deletion
// under the second path always runs.
struct NamedKeyPair {
    const char* probe;
    const char* parent;
};
constexpr NamedKeyPair NamedKeyPairs[] = {
    {" System\\CurrentControlSet\\Services\\Class\\", "System\\CurrentControlSet\\Services\\Class\\"},
    {" System\\CurrentControlSet\\Control\\Print\\Monitors\\", "System\\CurrentControlSet\\Control\\Print\\Monitors\\"},
    {" System\\CurrentControlSet\\Control\\Print\\Ports\\", "System\\CurrentControlSet\\Control\\Print\\Ports\\"},
};
constexpr const char* EnumRoot9x = "Enum\\";
constexpr const char* DriverEnumFragment9x = "QRXPORT";

constexpr const char* FailText =
    "1) The USB adapter could not be fully uninstalled.\r\n"
    "2) You must login with Adaministrator rights and re-run\r\n"
    "     this program to complete the process.";

// Exact, case-sensitive substring test; an empty text contains nothing and
// an empty part is contained in nothing.
bool Contains(const std::string& text, const std::string& part) {
    return !text.empty() && !part.empty() && text.find(part) != std::string::npos;
}

// The local state of one CleanRegistry call and its walks.
class RegistryWalk {
public:
    explicit RegistryWalk(Uninstall& window) : window_(window) {}

    std::int16_t DetectFamily();
    void MatchWalk();
    void DriverEnumKeys9x();
    void NamedKeys();
    void NtPass();
    // Ends the removal with the failure message when a key whose deletion
    // was refused is still there: a refused deletion is never reported as
    // a removal done.
    void CheckRefusedKeysGone();

private:
    // Opens the path into KeyHandle (also when the open fails) and reads
    // subkey `index` of it into `name`.
    void ReadSubkey(const std::string& path, std::int32_t index, std::string& name);
    // Deletes the subkey `name` of the key in KeyHandle; true when the
    // platform reports it deleted. An empty name is never passed on: it
    // would name the open key itself.
    bool DeleteName(const std::string& name);
    // A deletion in a walk that starts over after it. A key refused is tried
    // again only once the walk has deleted something since: until then the
    // registry is as it was, the refusal would repeat, and the walk would
    // start over without end. Such a repeat is not tried (WouldRepeat), and
    // the walk then goes on without starting over; every other deletion goes
    // exactly where the walk reaches it.
    enum class Outcome { Deleted, Refused, WouldRepeat };
    using KeyName = std::pair<std::string, std::string>;  // parent path, name
    Outcome Delete(const std::string& parent, const std::string& name);
    // A deletion where the walk does not start over: always tried. True when
    // the key went; a refusal is noted.
    bool Attempt(const std::string& parent, const std::string& name);
    [[noreturn]] void FailAndEnd();
    // Match entries 1-20 up to the end marker, in order; empty entries are
    // skipped, since every name would contain them. `visit` returns false to
    // end the scan step.
    template <class Visit>
    void ForEachMatchEntry(Visit visit);
    bool MatchesAnyEntry(const std::string& name);

    void DeviceKeyWalk();
    void CountEnumChildren();
    void DeleteEnumChildren();
    void DeleteDriverEnum();
    void CheckDriverEnumGone();
    void UsbWalk();

    Uninstall& window_;
    HKEY32 KeyHandle = 0;
    std::string SubkeyName;
    std::string Level1, Level2;
    std::int32_t ScanIndex = 0;
    std::int16_t SavedIndex = 0;
    std::int16_t ChildCount = 0;
    std::int16_t LastIndex = 0;
    // Keys whose deletion the platform refused, over the whole call, each
    // with the number of deletions the call had made at its last refusal.
    std::map<KeyName, int> Refused;
    int Deletions = 0;
};

void RegistryWalk::ReadSubkey(const std::string& path, std::int32_t index, std::string& name) {
    Module1::RegOpenKeyA(Module1::HKEY_LOCAL_MACHINE, path, KeyHandle);
    Module1::Busclean::GetSubkeyByIndex(KeyHandle, index, name);
}

bool RegistryWalk::DeleteName(const std::string& name) {
    if (name.empty()) return false;
    return Module1::RegDeleteKeyA(KeyHandle, name) == 0;
}

bool RegistryWalk::Attempt(const std::string& parent, const std::string& name) {
    if (DeleteName(name)) {
        ++Deletions;
        return true;
    }
    if (!name.empty()) Refused[{parent, name}] = Deletions;
    return false;
}

RegistryWalk::Outcome RegistryWalk::Delete(const std::string& parent, const std::string& name) {
    const auto refused = Refused.find({parent, name});
    if (refused != Refused.end() && refused->second == Deletions) return Outcome::WouldRepeat;
    return Attempt(parent, name) ? Outcome::Deleted : Outcome::Refused;
}

void RegistryWalk::FailAndEnd() {
    MsgBox(FailText, mb::Critical, "Uninstall Fail");
    End();
}

template <class Visit>
void RegistryWalk::ForEachMatchEntry(Visit visit) {
    for (std::size_t n = 1; n <= 20; ++n) {
        const std::string& entry = window_.RegistryMatchList[n];
        if (entry == MatchListEnd) return;
        if (entry.empty()) continue;
        if (!visit(entry)) return;
    }
}

bool RegistryWalk::MatchesAnyEntry(const std::string& name) {
    bool found = false;
    ForEachMatchEntry([&](const std::string& entry) { return !(found = Contains(name, entry)); });
    return found;
}

std::int16_t RegistryWalk::DetectFamily() {
    for (std::int32_t index = 0; index <= 50; ++index) {
        ReadSubkey(ControlPath, index, SubkeyName);
        if (SubkeyName == NtMarkerKey) return 2;
    }
    return 1;
}

// Deletes the subkeys of the current entry's key whose names contain a
// match entry. The walk starts over after each deletion, and goes on with
// index 1, not 0.
void RegistryWalk::MatchWalk() {
    const std::string parent = window_.CurrentEntry();
    Module1::RegOpenKeyA(Module1::HKEY_LOCAL_MACHINE, parent, KeyHandle);
    for (ScanIndex = 0; ScanIndex <= 20; ++ScanIndex) {
        Module1::Busclean::GetSubkeyByIndex(KeyHandle, ScanIndex, SubkeyName);
        ForEachMatchEntry([&](const std::string& entry) {
            if (!Contains(SubkeyName, entry)) return true;
            if (Delete(parent, SubkeyName) != Outcome::WouldRepeat) ScanIndex = 0;
            return false;
        });
    }
    Module1::RegCloseKey(KeyHandle);
}

// The adapter's enumerator keys. The index goes on after a deletion, so the
// key that moves into the freed place is passed over in this call.
void RegistryWalk::DriverEnumKeys9x() {
    for (std::int32_t index = 0; index <= 20; ++index) {
        ReadSubkey(EnumRoot9x, index, SubkeyName);
        if (Contains(SubkeyName, DriverEnumFragment9x)) DeleteName(SubkeyName);
    }
}

// The class, print monitor and print port keys named by the current entry.
void RegistryWalk::NamedKeys() {
    for (const NamedKeyPair& pair : NamedKeyPairs) {
        ReadSubkey(pair.probe, 0, SubkeyName);
        if (!SubkeyName.empty()) continue;
        Module1::RegOpenKeyA(Module1::HKEY_LOCAL_MACHINE, pair.parent, KeyHandle);
        DeleteName(window_.CurrentEntry());
        Module1::RegCloseKey(KeyHandle);
    }
}

void RegistryWalk::NtPass() {
    DeviceKeyWalk();
    CountEnumChildren();
    DeleteEnumChildren();
    DeleteDriverEnum();
    CheckDriverEnumGone();
    UsbWalk();
}

// Takes the device key apart bottom-up, one leaf at most three levels down
// per step, since a key with subkeys cannot be deleted on this layout.
void RegistryWalk::DeviceKeyWalk() {
    ScanIndex = 0;
    for (int cycle = 0; cycle < 11; ++cycle) {
        ReadSubkey(DeviceKeyPath, ScanIndex, Level1);
        const std::string level1Path = DeviceKeyPath + Level1 + "\\";
        for (int step = 0; step < 20; ++step) {
            ReadSubkey(level1Path, 0, Level2);
            if (!Level2.empty()) {
                ReadSubkey(level1Path + Level2 + "\\", 0, SubkeyName);
                if (!SubkeyName.empty()) {
                    DeleteName(SubkeyName);
                    ScanIndex = 0;
                } else {
                    ScanIndex = 0;
                    ReadSubkey(level1Path, 0, SubkeyName);
                    DeleteName(SubkeyName);
                }
            } else {
                ScanIndex = SavedIndex;
                ReadSubkey(DeviceKeyPath, ScanIndex, SubkeyName);
                DeleteName(SubkeyName);
            }
        }
    }
}

// Counts the enumerator's children, at most 11.
void RegistryWalk::CountEnumChildren() {
    for (std::int32_t index = 0; index <= 10; ++index) {
        ReadSubkey(DriverEnumPath, index, SubkeyName);
        if (SubkeyName.empty()) return;
        ++ChildCount;
        LastIndex = static_cast<std::int16_t>(ChildCount - 1);
    }
}

// Deletes the counted children from the last one down.
void RegistryWalk::DeleteEnumChildren() {
    const std::int16_t limit = ChildCount;
    for (ChildCount = 0; ChildCount <= limit; ++ChildCount) {
        ReadSubkey(DriverEnumPath, LastIndex, SubkeyName);
        if (SubkeyName.empty()) return;
        DeleteName(SubkeyName);
        --LastIndex;
        if (LastIndex == -1) return;
    }
}

void RegistryWalk::DeleteDriverEnum() {
    for (std::int32_t index = 0; index <= 50; ++index) {
        ReadSubkey(EnumPath, index, SubkeyName);
        if (SubkeyName == DriverEnumName) {
            DeleteName(SubkeyName);
            return;
        }
    }
}

// An enumerator key that survived means the removal failed: the user is
// told and the program ends here.
void RegistryWalk::CheckDriverEnumGone() {
    for (std::int32_t index = 0; index <= 40; ++index) {
        ReadSubkey(EnumPath, index, SubkeyName);
        if (SubkeyName == DriverEnumName) FailAndEnd();
    }
}

// Takes the matching USB device keys apart one leaf per match, starting over
// after each leaf below the first level; a refusal there that would repeat
// ends the scan step instead.
void RegistryWalk::UsbWalk() {
    for (ScanIndex = 0; ScanIndex <= 20; ++ScanIndex) {
        ReadSubkey(UsbEnumPath, ScanIndex, SubkeyName);
        Level1 = SubkeyName;
        const std::string level1Path = UsbEnumPath + Level1 + "\\";
        ForEachMatchEntry([&](const std::string& entry) {
            SavedIndex = static_cast<std::int16_t>(ScanIndex);
            if (!Contains(SubkeyName, entry)) return true;
            ReadSubkey(level1Path, 0, Level2);
            if (!Level2.empty()) {
                const std::string level2Path = level1Path + Level2 + "\\";
                ReadSubkey(level2Path, 0, SubkeyName);
                if (!SubkeyName.empty()) {
                    if (Delete(level2Path, SubkeyName) == Outcome::WouldRepeat) return false;
                    ScanIndex = 0;
                    SubkeyName.clear();
                } else {
                    ReadSubkey(level1Path, 0, SubkeyName);
                    if (SubkeyName.empty() || Delete(level1Path, SubkeyName) == Outcome::WouldRepeat) return false;
                    ScanIndex = 0;
                }
            } else {
                ScanIndex = SavedIndex;
                ReadSubkey(UsbEnumPath, ScanIndex, SubkeyName);
                // After a deletion the next key has moved into this place:
                // it goes too when it is one of the adapter's keys, and
                // stays when it belongs to another device. The walk does
                // not start over here, so every attempt is made.
                if (MatchesAnyEntry(SubkeyName)) Attempt(UsbEnumPath, SubkeyName);
            }
            return true;
        });
    }
}

void RegistryWalk::CheckRefusedKeysGone() {
    for (const auto& [refusedKey, deletionsThen] : Refused) {
        const auto& [parent, name] = refusedKey;
        HKEY32 key = 0;
        if (Module1::RegOpenKeyA(Module1::HKEY_LOCAL_MACHINE, parent + name, key) != 0) continue;
        Module1::RegCloseKey(key);
        FailAndEnd();
    }
}

}  // namespace

void Uninstall::CleanRegistry() {
    RegistryWalk walk(*this);
    SystemFamily = walk.DetectFamily();
    if (SystemFamily == 1) {
        Bin();
        walk.MatchWalk();
        walk.DriverEnumKeys9x();
        walk.NamedKeys();
    } else {
        walk.NtPass();
        walk.NtPass();
        walk.CheckRefusedKeysGone();
    }
}

// Deletes the driver database files, in the two spellings of their names
// that the system writes; any other spelling stays.
void Uninstall::Bin() {
    const std::string folder = WinDir + "\\inf\\";
    for (const auto& [mixed, upper] : {std::pair{"Drvdata.bin", "DRVDATA.BIN"}, std::pair{"Drvidx.bin", "DRVIDX.BIN"}}) {
        FoundName = Dir(folder + mixed);
        if (FoundName == mixed) Kill(folder + mixed);
        if (FoundName == upper) Kill(folder + upper);
    }
}

}  // namespace busclean
