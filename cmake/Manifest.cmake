# The application manifest of a Windows program, from cmake/Program.manifest.in.
# Writes <binary dir>/<target>.manifest, which the program's .rc file embeds as
# its RT_MANIFEST resource 1, and lets the resource compiler find it there.
#
#   program_manifest(<target> <rc file> <execution level> <description>)
#
# The execution level is what the program asks for when it starts: asInvoker
# (the user's rights) or requireAdministrator.
function(program_manifest target rc level description)
  set(MANIFEST_PROGRAM ${target})
  set(MANIFEST_LEVEL ${level})
  set(MANIFEST_DESCRIPTION ${description})
  # The manifest names the program's processor: the 32-bit build's is x86.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(MANIFEST_ARCHITECTURE x86)
  else()
    set(MANIFEST_ARCHITECTURE amd64)
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/Program.manifest.in ${manifest} @ONLY)
  # The resource compiler sees no dependencies of its own: rebuild the
  # resources when the manifest or the pictures they embed change.
  file(GLOB pictures ${PROJECT_SOURCE_DIR}/resources/*.ico ${PROJECT_SOURCE_DIR}/resources/*.cur)
  set_source_files_properties(${rc} PROPERTIES
    INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR}
    OBJECT_DEPENDS "${manifest};${pictures}")
endfunction()
