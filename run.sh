#!/usr/bin/env bash
# Installs what is missing, builds Marbleye and runs it with the arguments.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh" build
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLEYE_TESTS=OFF >/dev/null
cmake --build "$here/build" -j2 --target marbleye-cli >/dev/null
exec "$here/build/cli/marbleye-cli" "$@"
