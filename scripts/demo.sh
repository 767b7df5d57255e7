#!/usr/bin/env bash
# Sets everything up, builds the module and the stand-in host, and runs the
# main job on the bundled studio scene: which plug-ins are missing, then the
# dialog's identify, list, choose, remove and undo for one of them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target orphanex standin
echo "\$ standin census examples/studio.json"
build/default/standin census examples/studio.json
echo
echo "\$ standin run examples/studio.json examples/walkthrough.script"
build/default/standin run examples/studio.json examples/walkthrough.script
