#!/usr/bin/env bash
# The layer check passes a tree whose includes point down and names each one that does not.
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{base,model,engine/capacity,project,run,app}
printf '#include "base/Format.h"\n#include <vector>\n' >"$tree/model/Doc.h"
printf '#include "model/Doc.h"\n#include "Local.h"\n' >"$tree/engine/capacity/Layers.cpp"
printf '#include "engine/capacity/Layers.h"\n#include "project/File.h"\n' >"$tree/run/Run.cpp"
printf '#include "run/Run.h"\n' >"$tree/app/Main.cpp"
fail=0
if ! out=$(bash "$check" "$tree" 2>&1); then
    echo "a tree whose includes point down was refused:"; echo "$out"; fail=1
fi
# Up (engine to run), sideways (project to engine), from a header, after blanks in the directive.
printf '#include "run/Run.h"\n' >>"$tree/engine/capacity/Layers.cpp"
printf '  #  include "engine/State.h"\n' >"$tree/project/File.h"
printf '#include "app/Main.h"\n' >>"$tree/model/Doc.h"
out=$(bash "$check" "$tree" 2>&1) && { echo "upward includes passed the check"; fail=1; }
for expected in 'engine/capacity/Layers.cpp:3: the engine layer includes "run/Run.h"' \
    'project/File.h:1: the project layer includes "engine/State.h"' \
    'model/Doc.h:3: the model layer includes "app/Main.h"'; do
    grep -qF "$expected" <<<"$out" || { echo "missing: $expected"; echo "$out"; fail=1; }
done
[ "$(grep -c 'may not use' <<<"$out")" -eq 3 ] || { echo "not exactly three: $out"; fail=1; }
exit $fail
