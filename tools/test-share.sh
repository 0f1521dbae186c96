#!/usr/bin/env bash
# Prints how many lines of product code and of tests the tree holds and the
# tests' share of the whole: non-blank, non-comment lines of .cpp and .h
# files, counted by cloc. Product code is every source folder except tests/,
# bench/, fuzz/ and build folders (build*/).
#   tools/test-share.sh
set -euo pipefail
cd "$(dirname "$0")/.."
command -v cloc >/dev/null || { echo "cloc is not installed (tools/install-deps.sh)" >&2; exit 1; }

# Sum of cloc's "code" column for C++ sources and headers under the given
# paths (cloc counts .h as "C/C++ Header").
code_lines() {
  cloc --quiet --csv --include-ext=cpp,h --exclude-dir=.git "$@" |
    awk -F, '$2 == "C++" || $2 == "C/C++ Header" { n += $5 } END { print n + 0 }'
}

product_dirs=()
for d in */; do
  d=${d%/}
  case $d in tests|bench|fuzz|build*) continue ;; esac
  product_dirs+=("$d")
done

product=$(code_lines "${product_dirs[@]}")
tests=$(code_lines tests)
total=$((product + tests))
printf 'product code lines: %d\n' "$product"
printf 'test lines:         %d\n' "$tests"
printf 'tests share:        %s %% of the product code\n' \
  "$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.1f", p ? 100 * t / p : 0 }')"
printf '                    (%s %% of all lines)\n' \
  "$(awk -v t="$tests" -v n="$total" 'BEGIN { printf "%.1f", n ? 100 * t / n : 0 }')"
