#!/usr/bin/env bash
# The Windows files' clang-tidy step (scripts/test-windows) finds a fault: a copy of a Windows
# source with a use after move planted in it, compiled as the Windows build compiles the
# original, fails the step, which names the fault.
#
#   windows_tidy_test.sh BUILD SOURCE WORK
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
build=$(realpath "$1") original=$(realpath "$2") work=$3
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
planted="$work/$(basename "$original")"
cat "$original" - >"$planted" <<'CODE'

#include <string>
#include <utility>
std::string thPlantedFault(std::string text) {
  std::string kept = std::move(text);
  return text + kept;
}
CODE
# The original's entry of the build's compile database, for the copy.
python3 - "$build/compile_commands.json" "$original" "$planted" >"$work/compile_commands.json" <<'CODE'
import json, sys
database, original, planted = sys.argv[1:]
entry = next(e for e in json.load(open(database)) if e["file"] == original)
print(json.dumps([{key: value.replace(original, planted) for key, value in entry.items()}]))
CODE
if said=$(tidy "$work" "$planted"); then
  echo "FAIL: clang-tidy passed the planted fault"
  exit 1
fi
grep -q 'bugprone-use-after-move' <<<"$said" || { echo "$said"; echo "FAIL: not the planted fault"; exit 1; }
echo "PASS: $(grep -m1 'bugprone-use-after-move' <<<"$said")"
