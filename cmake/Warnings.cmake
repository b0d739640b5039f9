# Warnings every target of ours is built with.
add_library(sorvik_warnings INTERFACE)
target_compile_options(sorvik_warnings INTERFACE
  -Wall -Wextra -Woverloaded-virtual
  # GCC 12 warns falsely about overlapping copies inside std::string concatenation at -O3.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
  $<$<BOOL:${SORVIK_WERROR}>:-Werror>)
