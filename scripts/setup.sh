#!/usr/bin/env bash
# Installs every Debian package Quillmere needs (idempotent: nothing is asked
# of apt when all are present), then configures and builds.
#   QUILL_BUILD_DIR  build folder (default: build)
#   QUILL_SANITIZE   ON for an AddressSanitizer + UBSan build
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev libgl-dev
  libcurl4-openssl-dev ca-certificates curl
  libpcre2-dev
  libunicorn-dev
  gcc-mingw-w64-i686
  fonts-wqy-zenhei fontconfig
  libgtest-dev libgmock-dev libcpp-httplib-dev
  libbenchmark-dev hyperfine
  clang clang-format libclang-rt-14-dev
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

build_dir=${QUILL_BUILD_DIR:-build}
sanitize=${QUILL_SANITIZE:-OFF}
if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DQUILL_SANITIZE="$sanitize" >/dev/null
fi
cmake --build "$build_dir" -j"$(nproc)"
