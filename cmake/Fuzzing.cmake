# libFuzzer builds (-DSORVIK_FUZZ=ON, clang only): every library is built with the fuzzer's coverage
# instrumentation, so that the fuzzers are guided through the module's own code, not only their own.
if(SORVIK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SORVIK_FUZZ needs clang (libFuzzer)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
