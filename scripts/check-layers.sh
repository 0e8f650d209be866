#!/usr/bin/env bash
# Every arrow points down: a file may include headers of its own layer and of the layers below
# it, never of a layer above or beside it. Prints each include that breaks the rule and fails.
# Usage: scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

# The layer of a folder.
layer_of() {
    case "$1" in
    base) echo base ;;
    model) echo model ;;
    engine) echo engine ;;
    project) echo project ;;
    import) echo import ;;
    run) echo run ;;
    site) echo site ;;
    batch) echo batch ;;
    app | forms | graphs | resources) echo gui ;;
    *) echo "" ;;
    esac
}

# What each layer may include besides itself.
allowed() {
    case "$1" in
    base) echo "" ;;
    model) echo "base" ;;
    engine) echo "model base" ;;
    project) echo "model base" ;;
    import) echo "model base" ;;
    run) echo "engine project model base" ;;
    site) echo "run import engine project model base" ;;
    batch) echo "site run import engine project model base" ;;
    gui) echo "batch site run import engine project model base" ;;
    esac
}

status=0
checked=0
for folder in base model engine project import run site batch app forms graphs resources; do
    [ -d "$folder" ] || continue
    own=$(layer_of "$folder")
    may=" $own $(allowed "$own") "
    while IFS= read -r file; do
        checked=$((checked + 1))
        # '#include "folder/..."' lines, with their line numbers.
        while IFS=: read -r line target; do
            top=${target%%/*}
            [ "$top" = "$target" ] && continue # a header beside the file
            to=$(layer_of "$top")
            [ -z "$to" ] && continue # not one of ours (a system or library header)
            if [[ "$may" != *" $to "* ]]; then
                echo "$file:$line: the $own layer includes \"$target\" of the $to layer, which it may not use" >&2
                status=1
            fi
        done < <(awk 'match($0, /^[ \t]*#[ \t]*include[ \t]*"[^"]*"/) {
                          t = substr($0, RSTART, RLENGTH); sub(/^[^"]*"/, "", t); sub(/"$/, "", t)
                          print FNR ":" t }' "$file")
    done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
done
if [ "$checked" -eq 0 ]; then
    echo "check-layers: no source files under $root" >&2
    exit 1
fi
[ "$status" -eq 0 ] && echo "check-layers: $checked files, every include points down"
exit "$status"
