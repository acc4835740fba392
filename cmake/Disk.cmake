# The driver disk as it ships: the programs under the names they have on
# the disk (the checker, the remover and Busview, the remover's script viewer) and the data files they read from their folder (disk/), installed
# into the top of the install prefix. CPack packs that folder as a ZIP in the
# Windows build and as a .tar.gz in the Linux build. Nothing else is installed:
# the tests, the benchmarks and the libraries stay in the build folder.
#
# The Windows disk serves every Windows from XP on: the 32-bit programs at its
# top, the 64-bit ones under the same names in AMD64\ (a 32-bit program on
# 64-bit Windows hands over to its twin there), each set with the data files.
# The 64-bit build installs into AMD64; the 32-bit build installs the top and
# packs both builds' installs into the one ZIP (BUSPROBE_DISK_AMD64 names the
# 64-bit build folder).
#
#   cmake --install <build> --prefix <disk folder> [--strip]   (on Windows: both builds, one folder)
#   cpack --config <build>/CPackConfig.cmake          (in the folder to hold the package)
set(BUSPROBE_DISK_FILES BUSPROBE.EXE BUSCLEAN.EXE BUSVIEW.EXE Busprobe.dat Unins.dat)
set(CPACK_PACKAGE_NAME busprobe-disk)
# The packages' names, without their endings (the tests of the Linux build
# look for the Windows build's package too).
set(BUSPROBE_DISK_WINDOWS ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-windows)
set(BUSPROBE_DISK_LINUX ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux)

set(disk_programs .)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(disk_programs AMD64)
endif()

foreach(program Busprobe Busclean Busview)
  string(TOUPPER ${program}.EXE disk_name)
  install(PROGRAMS $<TARGET_FILE:${program}> DESTINATION ${disk_programs} RENAME ${disk_name})
  # Installed under another name, the programs are not targets' files to the
  # install step: strip them here when asked (--strip, and the packages).
  if(CMAKE_STRIP)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${disk_programs}/${disk_name}\"
                        RESULT_VARIABLE status)
        if(status)
          message(FATAL_ERROR \"could not strip ${disk_name}\")
        endif()
      endif()")
  endif()
endforeach()
# The programs read the data files from their own folder: the 64-bit ones,
# whether handed over to or started from AMD64 themselves, from AMD64.
install(FILES ${PROJECT_SOURCE_DIR}/disk/Busprobe.dat ${PROJECT_SOURCE_DIR}/disk/Unins.dat DESTINATION ${disk_programs})
if(disk_programs STREQUAL AMD64)
  return()  # the package comes from the 32-bit build
endif()

set(CPACK_PACKAGE_VENDOR "Tarnwick Devices Inc.")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Driver disk of the USB adapter: USB system check and driver removal")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${BUSPROBE_DISK_WINDOWS})
  # This build's install and the 64-bit build's (its programs in AMD64).
  set(BUSPROBE_DISK_AMD64 "" CACHE PATH "The 64-bit Windows build folder, whose programs the ZIP holds in AMD64")
  if(BUSPROBE_DISK_AMD64)
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/;${BUSPROBE_DISK_AMD64};${PROJECT_NAME};ALL;/")
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME ${BUSPROBE_DISK_LINUX})
endif()
# The package holds one folder of that name: the driver disk.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
