#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quillmere.
# Without a display ($DISPLAY and $WAYLAND_DISPLAY both empty) it runs the
# window on Qt's offscreen platform instead, writes a PNG of each tab into
# $QUILL_BUILD_DIR/screenshots (default build/screenshots), names the files
# and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${QUILL_BUILD_DIR:-build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display available; starting Quillmere on Qt's offscreen platform to take screenshots"
  shots="$build_dir/screenshots"
  QT_QPA_PLATFORM=offscreen "$build_dir/src/app/quillmere_screenshot" "$shots" | while read -r file; do
    echo "run: wrote $file"
  done
  exit "${PIPESTATUS[0]}"
fi
exec "$build_dir/src/app/quillmere"
