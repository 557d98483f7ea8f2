#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Extra arguments go to ctest (for example -R TextRules).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${QUILL_BUILD_DIR:-build}
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" "$@"
