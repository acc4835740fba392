// GetTickCount64 for programs that must load on Windows XP.
//
// kernel32 exports GetTickCount64 from Windows Vista on. Importing it, as the
// static winpthreads runtime in every program does (its timed waits call it
// through the import pointer that kernel32's import library defines:
// `__imp__GetTickCount64@0` on i386, `__imp_GetTickCount64` on x86-64), would
// keep the 32-bit programs from loading on XP. So this file defines that
// import pointer itself. The linker then takes the symbol from here and never
// pulls GetTickCount64 out of kernel32's import library: the programs do not
// import it, and every call of it (the runtime's, and any call through
// windows.h's declaration) lands in tickCount64Import below.
//
// That works only if this object is part of the link before the runtime asks
// for the symbol; an archive member would be pulled in only for a symbol still
// undefined, and nothing of the program refers to this file when the runtime
// does. sysaccess/CMakeLists.txt therefore links it as an object file into
// every program that links the platform layer.
//
// The pointer leads to the system's GetTickCount64 where kernel32 exports it
// (looked up once), and elsewhere to GetTickCount carried on to 64 bits.
#include "sysaccess/drivers/win32/TickCount64.h"

#include <atomic>

#include <windows.h>

namespace sysaccess::drivers {

namespace {

using TickCountFn = ULONGLONG(WINAPI*)();

static_assert(extendTickCount(0, 5) == 5);
static_assert(extendTickCount(0xFFFFFFF0, 0xFFFFFFF0) == 0xFFFFFFF0);
static_assert(extendTickCount(0xFFFFFFF0, 0x10) == 0x1'0000'0010);  // wrapped
static_assert(extendTickCount(0x3'0000'0010, 0x11) == 0x3'0000'0011);
static_assert(extendTickCount(0x3'FFFF'FFFF, 0) == 0x4'0000'0000);

// Without the system's function: the last 64-bit reading, shared by the
// threads. A reading is stored only over the one it was carried on from (a
// compare-exchange, cmpxchg8b on i386), so the count never goes back and a
// wrap is counted once. GetTickCount is read after the last reading is
// loaded, so it is never older than that reading.
std::atomic<std::uint64_t> lastReading{0};

ULONGLONG WINAPI extendedTickCount() {
    std::uint64_t last = lastReading.load(std::memory_order_acquire);
    for (;;) {
        const std::uint64_t now = extendTickCount(last, ::GetTickCount());
        if (now == last || lastReading.compare_exchange_weak(last, now, std::memory_order_acq_rel)) return now;
    }
}

TickCountFn systemOrExtended() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto system = kernel ? reinterpret_cast<TickCountFn>(
                                     reinterpret_cast<void*>(::GetProcAddress(kernel, "GetTickCount64")))
                               : nullptr;
    return system ? system : extendedTickCount;
}

// Constant-initialised, so it is ready whenever the runtime first calls,
// static constructors or not. Two threads that look up at once store the same.
std::atomic<TickCountFn> chosen{nullptr};

ULONGLONG WINAPI tickCount64Import() {
    TickCountFn fn = chosen.load(std::memory_order_acquire);
    if (!fn) {
        fn = systemOrExtended();
        chosen.store(fn, std::memory_order_release);
    }
    return fn();
}

}  // namespace

std::uint64_t tickCount64() { return tickCount64Import(); }

}  // namespace sysaccess::drivers

// The import pointer, under the name kernel32's import library gives it.
#if defined(__x86_64__)
#define SYSACCESS_TICKCOUNT64_IMPORT "__imp_GetTickCount64"
#elif defined(__i386__)
#define SYSACCESS_TICKCOUNT64_IMPORT "__imp__GetTickCount64@0"
#else
#error "the import pointer's name is known for i386 and x86-64 only"
#endif
extern "C" {
extern ULONGLONG(WINAPI* const tickCount64ImportPointer)() asm(SYSACCESS_TICKCOUNT64_IMPORT);
ULONGLONG(WINAPI* const tickCount64ImportPointer)() = sysaccess::drivers::tickCount64Import;
}
