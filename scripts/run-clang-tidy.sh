#!/usr/bin/env bash
# Runs the checks of .clang-tidy over the program's own sources (src/, tools/).
#   scripts/run-clang-tidy.sh [BUILD_DIR]     (default build; it must have been configured)
# GCC's precompiled headers mean nothing to clang: the compile commands keep their text only.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD_DIR="${1:-build}"
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed (apt-get install clang-tidy)"; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 - "$BUILD_DIR/compile_commands.json" "$work/compile_commands.json" <<'PY'
import json, os, re, shutil, sys
cmds = json.load(open(sys.argv[1]))
out = []
for c in cmds:
    if "/src/" not in c["file"] and "/tools/" not in c["file"]:
        continue
    if "_autogen" in c["file"] or "cmake_pch" in c["file"]:
        continue
    cmd = c["command"]
    # Keep the precompiled header's text (it brings the Qt headers in), copied away from GCC's
    # binary next to it, which clang would try to read.
    def copy(m):
        text = os.path.join(os.path.dirname(sys.argv[2]), "pch%d.hxx" % len(out))
        shutil.copy(m.group(1), text)
        return "-include " + text
    cmd = re.sub(r"-include (\S+cmake_pch\.hxx)", copy, cmd)
    cmd = re.sub(r"-Winvalid-pch|-fpch-preprocess", "", cmd)
    out.append(dict(c, command=cmd))
json.dump(out, open(sys.argv[2], "w"))
PY
files=$(python3 -c 'import json,sys; print("\n".join(c["file"] for c in json.load(open(sys.argv[1]))))' "$work/compile_commands.json")
if ! echo "$files" | xargs -P "${KELVORA_JOBS:-2}" -n 8 clang-tidy -p "$work" --quiet 2>/dev/null; then
  echo "clang-tidy: faults found (above)"
  exit 1
fi
echo "clang-tidy: $(echo "$files" | wc -l) files checked, nothing found"
