#!/usr/bin/env bash
# Checks the include rules between the source folders and prints every include that breaks one:
#   - the module's folders include nothing from services/ or viewer/: the module reaches the host's
#     libraries only through the declarations in host/;
#   - platform/ includes nothing of the module, services/ or viewer/;
#   - overlays/ includes nothing of display/ nor the data module (module/module_data*.h): the overlays are
#     handed the values they draw from;
#   - a platform library's own headers (platform/<library>/) are included only by that library and by the
#     platform tests; everyone else uses the public headers in platform/include/.
# An include names a file as written from the repository root (the build's include path) and, when such
# a file exists, relative to the including file; a bare name that only a platform library's folder holds
# is that library's header. Exits 1 when any include breaks a rule.
set -euo pipefail
cd "$(dirname "$0")/.."

sources=$(find . -path ./.git -prune -o -path './build*' -prune -o -path ./out -prune -o -type f \
            \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.c' \) -print |
          sed 's|^\./||' | sort)

# First input: every source file (which paths exist); then "file:line:text" for every include line.
{
  printf '%s\n' "$sources"
  echo '--- includes'
  printf '%s\n' "$sources" | xargs grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' /dev/null || true
} | awk '
  BEGIN {
    split("module settings display overlays common host", list, " ")
    for (i in list) module_folder[list[i]] = 1
  }
  /^--- includes$/ { reading_includes = 1; next }
  !reading_includes {
    exists[$0] = 1
    if ($0 ~ /^platform\/[^\/]+\// && $0 !~ /^platform\/include\//) {
      split($0, part, "/")
      library_folder[part[2]] = 1
    }
    next
  }
  {
    file = $0; sub(/:.*/, "", file)
    rest = substr($0, length(file) + 2)
    line = rest; sub(/:.*/, "", line)
    text = substr(rest, length(line) + 2)
    included = text
    sub(/^[^<"]*[<"]/, "", included); sub(/[">].*$/, "", included)
    check(file, line, text, included)
  }
  END {
    if (offences > 0) {
      printf "check-includes: %d include(s) break the folder rules\n", offences > "/dev/stderr"
      exit 1
    }
    print "check-includes: the include rules hold"
  }

  function top(path) { return substr(path, 1, index(path, "/") - 1) }
  function in_module(path) { return top(path) in module_folder }
  function in_host_side(path) { return top(path) == "services" || top(path) == "viewer" }
  function folder_of(path) { return path ~ /\// ? substr(path, 1, match(path, /\/[^\/]*$/)) : "" }

  # "a/b/../c/./d" -> "a/c/d"; a path that climbs out of the repository comes back empty.
  function normalized(path,    n, i, out, count, part) {
    n = split(path, part, "/")
    count = 0
    for (i = 1; i <= n; i++) {
      if (part[i] == "" || part[i] == ".") continue
      if (part[i] == "..") { if (count == 0) return ""; count--; continue }
      out[++count] = part[i]
    }
    path = ""
    for (i = 1; i <= count; i++) path = path (i > 1 ? "/" : "") out[i]
    return path
  }

  # The platform library folder a repository path lies in, if any.
  function platform_library(path,    part) {
    if (path !~ /^platform\//) return ""
    split(path, part, "/")
    return (part[2] in library_folder) ? part[2] : ""
  }

  function report(file, line, text, why) {
    printf "%s:%s: %s\n    %s\n", file, line, text, why
    offences++
  }

  function check(file, line, text, included,    targets, t, target, relative, library, name) {
    targets[1] = included
    relative = normalized(folder_of(file) included)
    t = 1
    if (relative != "" && relative in exists && relative != included) targets[++t] = relative
    for (; t >= 1; t--) {
      target = targets[t]
      if (in_module(file) && in_host_side(target))
        report(file, line, text, "the module'"'"'s folders include nothing from services/ or viewer/")
      else if (top(file) == "platform" && (in_module(target) || in_host_side(target)))
        report(file, line, text, "platform/ includes nothing of the module, services/ or viewer/")
      else if (top(file) == "overlays" && (top(target) == "display" || target ~ /^module\/module_data[^\/]*$/))
        report(file, line, text, "overlays/ includes nothing of display/ nor the data module")
      if (library == "") library = platform_library(target)
    }
    # A bare name reaches a library folder only through an include path that names that folder.
    if (library == "" && !(relative in exists) && !(included in exists))
      for (name in library_folder)
        if (("platform/" name "/" included) in exists) { library = name; break }
    if (library != "" && index(file, "platform/" library "/") != 1 && index(file, "tests/platform/") != 1)
      report(file, line, text, "a header of platform/" library "/ is that library'"'"'s own: use platform/include/")
  }
'
