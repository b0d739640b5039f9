# Whole-build sanitizer switch: -DSORVIK_SANITIZE="address;undefined" or -DSORVIK_SANITIZE=thread.
if(SORVIK_SANITIZE)
  string(REPLACE ";" "," _sorvik_sanitizers "${SORVIK_SANITIZE}")
  add_compile_options(-fsanitize=${_sorvik_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_sorvik_sanitizers})
endif()
