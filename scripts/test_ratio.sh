#!/usr/bin/env bash
# Prints how many lines the tests are against the code: non-blank lines that are not
# comments alone, tests/ and fuzz/ against src/, tools/ and bench/. The project keeps the
# ratio at about a quarter to a third.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|hpp|cc)$' | xargs -r cat | grep -cvE '^\s*(//.*)?$' || true
}
tests=$(count tests fuzz)
code=$(count src tools bench)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d lines, code %d lines, ratio %.2f\n", t, c, t / c }'
