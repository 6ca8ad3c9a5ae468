#!/usr/bin/env bash
# Installs what is missing, builds Quenzo and starts it. On the first start
# Quenzo creates its embedded database in ~/.local/share/Quenzo.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target quenzo quenzo-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Pas d'écran graphique : Quenzo démarre dans un écran virtuel (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/src/app/quenzo" "$@"
fi
exec "$build/src/app/quenzo" "$@"
