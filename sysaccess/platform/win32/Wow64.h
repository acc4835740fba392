#pragma once
// A 32-bit program on 64-bit Windows (WOW64). The system shows such a process
// a 32-bit machine: its system32 is SysWOW64, and SetupAPI refuses to remove
// driver packages for it. The driver disk therefore holds the 64-bit programs
// too, in AMD64\ below the 32-bit ones under the same names, and a 32-bit
// program on 64-bit Windows hands over to that twin (sysaccess/Host.h says
// what each program does without one).
#include <optional>
#include <string>

namespace sysaccess::platform_win32 {

// True in a 32-bit process on 64-bit Windows; always false in a 64-bit one.
bool underWow64();

// Under WOW64: starts the 64-bit twin (AMD64\ in the program's folder, the
// same file name) with this process's arguments (the command line after the
// program's name, unchanged), current directory and standard handles, waits
// for it and gives its exit code. Nothing where this is no WOW64 process,
// there is no twin or it could not be started.
std::optional<unsigned long> runTwin();

// While it lives, file names used on this thread reach the native system
// folders (system32 is system32) under WOW64; elsewhere it does nothing. Use
// it around file calls only: a library loaded meanwhile would be the 64-bit
// one.
class NativeFileSystem {
public:
    NativeFileSystem();
    ~NativeFileSystem();
    NativeFileSystem(const NativeFileSystem&) = delete;
    NativeFileSystem& operator=(const NativeFileSystem&) = delete;

private:
    void* previous_ = nullptr;
    bool off_ = false;
};

}  // namespace sysaccess::platform_win32
