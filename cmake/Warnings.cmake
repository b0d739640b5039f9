# Warnings every target of ours is built with.
add_library(sorvik_warnings INTERFACE)
target_compile_options(sorvik_warnings INTERFACE
  -Wall -Wextra -Woverloaded-virtual
  $<$<BOOL:${SORVIK_WERROR}>:-Werror>)
