#!/usr/bin/env bash
# Prints how many lines of product code and of tests the tree holds and the
# tests' share of the product code: non-blank, non-comment lines of .cpp and
# .h files, counted by cloc; then the same with comment lines counted (plain
# non-blank lines, the count earlier figures used). Product code is every
# source folder except tests/, bench/, fuzz/ and build folders (build*/).
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

# Non-blank lines, comments included.
nonblank_lines() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'
}

product=$(code_lines "${product_dirs[@]}")
tests=$(code_lines tests)
total=$((product + tests))
printf 'product code lines: %d\n' "$product"
printf 'test lines:         %d\n' "$tests"
printf 'tests share:        %s %% of the product code\n' \
  "$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.1f", p ? 100 * t / p : 0 }')"
printf '                    (%s %% of all lines)\n' \
  "$(awk -v t="$tests" -v n="$total" 'BEGIN { printf "%.1f", n ? 100 * t / n : 0 }')"
product_nb=$(nonblank_lines "${product_dirs[@]}")
tests_nb=$(nonblank_lines tests)
printf 'with comment lines: product %d, tests %d, share %s %%\n' "$product_nb" "$tests_nb" \
  "$(awk -v t="$tests_nb" -v p="$product_nb" 'BEGIN { printf "%.1f", p ? 100 * t / p : 0 }')"
