# Links small PE32 files with the 32-bit MinGW toolchain, whatever the build:
# the real files the tests read and the samples users open.
find_program(TWINLENS_I686_GCC i686-w64-mingw32-gcc)
if(NOT TWINLENS_I686_GCC)
  message(FATAL_ERROR
    "i686-w64-mingw32-gcc links the sample and test PE32 files; scripts/setup-machine.sh "
    "installs it.")
endif()

# Links `source` (relative to the calling folder) into the PE32 file `output`
# with the given extra options.
function(twinlens_link_pe32 output source)
  add_custom_command(OUTPUT "${output}"
    COMMAND "${TWINLENS_I686_GCC}" -O2 ${ARGN} -o "${output}" "${CMAKE_CURRENT_SOURCE_DIR}/${source}"
    DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${source}"
    COMMENT "Linking the PE32 file ${output}"
    VERBATIM)
endfunction()
