#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building the radar module, then configures and
# builds it. Usage: scripts/setup.sh [plain|asan|tsan|release]  (default: plain)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
variant=${1:-plain}

packages=(cmake ninja-build g++ pkg-config binutils
          libgdal-dev libinih-dev libcli11-dev libpcap-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
          libboost-dev libwebp-dev nlohmann-json3-dev
          libcairo2-dev libpango1.0-dev libfontconfig-dev libfreetype-dev fontconfig fonts-liberation
          clang-14 libclang-rt-14-dev
          chromium chromium-driver python3-selenium python3-pil python3-websocket)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

case "$variant" in
  plain)   build="$root/build";         options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  release) build="$root/build-release"; options=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)    build="$root/build-asan";    options=(-DCMAKE_BUILD_TYPE=Debug "-DSORVIK_SANITIZE=address;undefined"
                                                 -DSORVIK_BUILD_BENCHMARKS=OFF) ;;
  tsan)    build="$root/build-tsan";    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVIK_SANITIZE=thread
                                                 -DSORVIK_BUILD_BENCHMARKS=OFF) ;;
  *) echo "unknown build variant: $variant" >&2; exit 2 ;;
esac

# A machine with ccache shares compiled objects between builds and checkouts of the same sources.
if command -v ccache >/dev/null; then
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
fi
cmake -S "$root" -B "$build" -G Ninja -DSORVIK_WERROR=ON "${options[@]}" >&2
cmake --build "$build" -j2 >&2
echo "$build"
