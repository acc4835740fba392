# Cross build for 32-bit Windows, XP SP3 and later, with mingw-w64 (Debian's
# g++-mingw-w64-i686). The posix variant: its runtime has std::thread and
# std::mutex (the win32 variant of g++ 12 has neither).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The runtime goes into the executables: they need no DLL beyond the system's.
# The PE header keeps the linker's subsystem and system version, 4.0: every
# loader from Windows NT 4 and 95 on takes the image, XP's included; what the
# programs need of the system is held to XP by their imports.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
