#pragma once
// HKEY_LOCAL_MACHINE of a Wine-style prefix: the prefix's system.reg (or a
// memory-only tree for tests) with the Win32 registry calls the programs use,
// a handle table and the live USB root hub keys.
//
// Each successful deletion is written back to the file at once; everything
// else in the file keeps its bytes. See RegFileStore for the locking rules.
//
// A deletion from the file that cannot be carried out raises a RuntimeError
// (see WriteFailure.h): a running Wine server for the prefix, a file that
// cannot be read, is no registry file, or cannot be written. What stays a
// plain status: a missing key, a key with subkeys on the NT family, the
// root hub keys, and anything of a memory-only registry.
#include "sysaccess/platform/Platform.h"
#include "sysaccess/registry/Family.h"
#include "sysaccess/registry/HandleTable.h"
#include "sysaccess/registry/KeyTree.h"
#include "sysaccess/registry/RegFileStore.h"
#include "sysaccess/registry/WineRegFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sysaccess::registry {

class Registry {
public:
    struct Options {
        std::filesystem::path systemReg{};     // empty: a memory-only registry
        std::filesystem::path usbDevicesDir{}; // e.g. "/sys/bus/usb/devices"; empty: no hub keys
        std::filesystem::path wineServerRoot{}; // empty: "/tmp/.wine-<uid>"
        // Where the newer layout's server folders are; empty: $TMPDIR and /tmp.
        std::vector<std::filesystem::path> wineTempDirs{};
        std::optional<Family> family{};        // forced family; default: decided from the content
        // Test hook: runs after the new file is written and flushed, before
        // it is renamed over system.reg.
        std::function<void()> beforeRename{};
    };
    explicit Registry(Options options);
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    long RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result);
    long RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity);
    long RegDeleteKeyA(HKEY32 key, const std::string& subKey);
    long RegCloseKey(HKEY32 key);
    Family family() const { return family_; }

    // For a deletion that is only pretended (a dry run over this registry).
    // What RegDeleteKeyA would answer for the key before it looks at the
    // key's subkeys, changing nothing: it raises where the deletion would
    // raise for any key (a file that cannot be read or is no registry), and
    // answers a missing key, a bad handle or name, and a key that must stay
    // (a root hub key or one above it) as the deletion would; else Success.
    long checkDeletion(HKEY32 key, const std::string& subKey);
    // Raises what writing a deletion back would raise before it writes (a
    // Wine server running for the prefix); a memory-only registry never does.
    void checkWriteBack() const;

    // For fixtures and tests. createKey makes a key with its parents in a
    // memory-only registry (it throws for a file-backed one, whose keys
    // change only through deletions).
    void createKey(const std::string& path);
    bool exists(const std::string& path) const;
    std::vector<std::string> subkeys(const std::string& path) const;  // enumeration order

    // A string value (REG_SZ, or REG_EXPAND_SZ as Wine writes it: str(2)) of
    // a key in the file, read-only: "ACP" of the code page key, for example.
    // The name is matched case-insensitively ("" or "@" is the default
    // value); Wine's escapes are decoded and characters beyond ASCII come back
    // in UTF-8. nullopt when the key, the value or a string of that name is
    // missing.
    std::optional<std::string> stringValue(const std::string& keyPath, const std::string& name) const;

private:
    // Why the file cannot be used; its keys are then unknown.
    struct FileProblem {
        enum class Kind { None, Unreadable, Foreign } kind = Kind::None;
        int error = 0;  // errno, for Unreadable
    };
    struct Loaded {
        RegFile file;
        FileStamp stamp;
        FileProblem problem;
        std::unique_ptr<KeyTree> tree;
    };
    Loaded load(Family order) const;
    void reload();
    Key* resolve(HKEY32 handle) const;
    Key* lookup(const std::string& path) const;
    long deletable(const Key& key) const;
    // The checks of RegDeleteKeyA before it looks for the key: a file it
    // cannot use raises, a bad handle or name is answered.
    long admit(HKEY32 key, const std::string& subKey);
    long deleteFromFile(HKEY32 handle, const std::vector<std::string>& parts);
    void raiseFileProblem() const;
    bool marksNt(const Key* marker) const;
    bool parentNeedsSection(const std::vector<std::string>& parent, const std::vector<bool>& drop,
                            std::size_t firstDropped) const;
    void refreshFamily();

    Options options_;
    Family family_ = Family::Win9x;
    std::unique_ptr<KeyTree> tree_;
    HandleTable handles_;
    std::optional<RegFileStore> store_;
    RegFile file_;
    FileStamp stamp_;
    FileProblem problem_;  // set while the file is unreadable or not a registry file
};

}  // namespace sysaccess::registry
