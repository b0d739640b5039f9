# Whole-build sanitizer switch: -DSORVIK_SANITIZE="address;undefined" or -DSORVIK_SANITIZE=thread.
if(SORVIK_SANITIZE)
  string(REPLACE ";" "," _sorvik_sanitizers "${SORVIK_SANITIZE}")
  add_compile_options(-fsanitize=${_sorvik_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_sorvik_sanitizers})
endif()

# Host-side code calls the module through interfaces whose type information the module keeps to itself
# (hidden visibility); the vptr check would need that type information at link time.
function(sorvik_host_side target)
  if(SORVIK_SANITIZE MATCHES "undefined")
    target_compile_options(${target} PRIVATE -fno-sanitize=vptr)
  endif()
endfunction()
