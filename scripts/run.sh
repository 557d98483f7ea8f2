#!/usr/bin/env bash
# Installs what is missing, builds, starts the demo catalogue site in the
# background (the default endpoint of the build, http://127.0.0.1:18080),
# then starts Quillmere; the demo site is stopped when Quillmere ends.
# Without a display ($DISPLAY and $WAYLAND_DISPLAY both empty) it runs the
# window on Qt's offscreen platform instead, presses "获取资源", waits for the
# rows, writes a PNG of each tab into $QUILL_BUILD_DIR/screenshots (default
# build/screenshots), names the files and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${QUILL_BUILD_DIR:-build}

"$build_dir/demo/quill_demo_site" >"$build_dir/demo-site.log" 2>&1 &
demo_pid=$!
trap 'kill "$demo_pid" 2>/dev/null || true; wait "$demo_pid" 2>/dev/null || true' EXIT
# Wait until it serves (or has given up because the port is taken, in which
# case whatever listens there is used).
for _ in $(seq 100); do
  grep -q serving "$build_dir/demo-site.log" 2>/dev/null && break
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.05
done
if ! kill -0 "$demo_pid" 2>/dev/null; then
  echo "run: demo site did not start: $(cat "$build_dir/demo-site.log")" >&2
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display available; starting Quillmere on Qt's offscreen platform to take screenshots"
  shots="$build_dir/screenshots"
  QT_QPA_PLATFORM=offscreen "$build_dir/src/app/quillmere_screenshot" "$shots" | while read -r file; do
    echo "run: wrote $file"
  done
  exit "${PIPESTATUS[0]}"
fi
"$build_dir/src/app/quillmere"
