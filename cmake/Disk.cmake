# The driver disk as it ships: the programs under the names they have on
# the disk (the checker, the remover and Busview, the remover's script viewer) and the data files they read from their folder (disk/), installed
# into the top of the install prefix. CPack packs that folder as a ZIP in the
# Windows build and as a .tar.gz in the Linux build. Nothing else is installed:
# the tests, the benchmarks and the libraries stay in the build folder.
#
#   cmake --install <build> --prefix <disk folder> [--strip]
#   cpack --config <build>/CPackConfig.cmake          (in the folder to hold the package)
set(BUSPROBE_DISK_FILES BUSPROBE.EXE BUSCLEAN.EXE BUSVIEW.EXE Busprobe.dat Unins.dat)

foreach(program Busprobe Busclean Busview)
  string(TOUPPER ${program}.EXE disk_name)
  install(PROGRAMS $<TARGET_FILE:${program}> DESTINATION . RENAME ${disk_name})
  # Installed under another name, the programs are not targets' files to the
  # install step: strip them here when asked (--strip, and the packages).
  if(CMAKE_STRIP)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${disk_name}\"
                        RESULT_VARIABLE status)
        if(status)
          message(FATAL_ERROR \"could not strip ${disk_name}\")
        endif()
      endif()")
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/disk/Busprobe.dat ${PROJECT_SOURCE_DIR}/disk/Unins.dat DESTINATION .)

set(CPACK_PACKAGE_NAME busprobe-disk)
set(CPACK_PACKAGE_VENDOR "Tarnwick Devices Inc.")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Driver disk of the USB adapter: USB system check and driver removal")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The packages' names, without their endings (the tests of the Linux build
# look for the Windows build's package too).
set(BUSPROBE_DISK_WINDOWS ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-windows)
set(BUSPROBE_DISK_LINUX ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${BUSPROBE_DISK_WINDOWS})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME ${BUSPROBE_DISK_LINUX})
endif()
# The package holds one folder of that name: the driver disk.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
