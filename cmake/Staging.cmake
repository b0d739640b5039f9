# The build tree mirrors an installed host: the host's programs, its service libraries and the radar
# module sit in stage/bin; the radar service sits in stage/SORVIK beside it, where the module looks for it.
set(SORVIK_STAGE_DIR "${CMAKE_BINARY_DIR}/stage")
set(SORVIK_STAGE_BIN "${SORVIK_STAGE_DIR}/bin")
set(SORVIK_STAGE_RADAR "${SORVIK_STAGE_DIR}/SORVIK")
file(MAKE_DIRECTORY "${SORVIK_STAGE_BIN}" "${SORVIK_STAGE_RADAR}")

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${SORVIK_STAGE_BIN}")
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY "${SORVIK_STAGE_BIN}")
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib")
# Everything finds its shared libraries relative to itself, as beside a Windows executable.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(CMAKE_BUILD_RPATH "$ORIGIN;$ORIGIN/../bin")

# A host service library with the file name the module asks for (for example "VelIHM.dll").
function(sorvik_service_library target file_name folder)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME "${file_name}" SUFFIX ""
    LIBRARY_OUTPUT_DIRECTORY "${folder}")
endfunction()
