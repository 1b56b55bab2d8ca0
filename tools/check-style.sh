#!/usr/bin/env bash
# The code's layout and naming rules over src/ and tools/ (.clang-format and
# .clang-tidy at the top of the tree).
# Usage: tools/check-style.sh format
#        tools/check-style.sh naming BUILD_DIR   (a build with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 2>/dev/null ||
                     find src tools -name '*.cpp' -o -name '*.h')
case "${1:-}" in
  format)
    clang-format-14 --dry-run -Werror "${files[@]}"
    echo "check-style: ${#files[@]} files keep the layout"
    ;;
  naming)
    build=${2:?usage: check-style.sh naming BUILD_DIR}
    [[ -f "$build/compile_commands.json" ]] || { echo "check-style: no compile_commands.json in $build" >&2; exit 1; }
    jobs=$(nproc 2>/dev/null || echo 2)
    out=$(run-clang-tidy-14 -p "$build" -j "$jobs" -quiet "$PWD/(src|tools)/" 2>&1) || true
    if grep -E "(error|warning): .*\[readability-identifier-naming" <<<"$out" | sort -u; then
      echo "check-style: names break the rules above" >&2
      exit 1
    fi
    echo "check-style: the names keep the rules"
    ;;
  *) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
