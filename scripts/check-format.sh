#!/usr/bin/env bash
# Fails when a C++ source of the project is not in the style of .clang-format; prints the files
# and how to fix them.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
if ! command -v clang-format >/dev/null 2>&1; then
  echo "check-format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi
mapfile -t files < <(find app base batch bench engine forms fuzz graphs import model project \
  resources run tests -name build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print 2>/dev/null |
  sort)
bad=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then bad+=("$f"); fi
done
if [ ${#bad[@]} -ne 0 ]; then
  echo "check-format: ${#bad[@]} file(s) not in the project's style:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  echo "fix with: clang-format -i FILE..." >&2
  exit 1
fi
echo "check-format: ${#files[@]} files in style"
