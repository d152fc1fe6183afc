#!/usr/bin/env bash
# Fuzzes the readers of the files the program is given: the reminder file (as any bytes, and
# built from SQL with the journal or log another program left beside it), the settings file
# and the language files, each a libFuzzer target built with clang and the sanitizers, started
# from the seed corpus in tests/fuzz/corpus/.
#   scripts/fuzz.sh [SECONDS]   open-ended: each target for SECONDS (default 60); new inputs
#                               are kept in build-fuzz/found/, crashes in build-fuzz/crashes/
#   scripts/fuzz.sh --ci        deterministic: replays the corpus, then a fixed number of runs
#                               of each target with a fixed seed
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh fuzz
build=${CHIMEWELL_FUZZ_BUILD_DIR:-build-fuzz}
source scripts/ccache-launcher.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DCHIMEWELL_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

ci=false
seconds=60
case "${1:-}" in
    --ci) ci=true ;;
    '') ;;
    *) seconds=$1 ;;
esac
# Runs per target in CI: a few minutes in all on a loaded two-core machine.
ci_runs=${CHIMEWELL_FUZZ_RUNS:-10000}

mkdir -p "$build/crashes"
status=0
for corpus in tests/fuzz/corpus/*/; do
    name=$(basename "$corpus")
    target="$build/tests/fuzz/fuzz_$name"
    [ -x "$target" ] || { echo "no fuzz target for $corpus" >&2; exit 1; }
    found="$build/found/$name"
    options=(-artifact_prefix="$build/crashes/$name-" -print_final_stats=1)
    # The words of the file's format, where the target has them.
    [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
    if $ci; then
        echo "== $name: replaying the corpus"
        "$target" "${options[@]}" -runs=0 "$corpus" || status=1
        echo "== $name: $ci_runs runs with seed 1"
        # A fresh folder first, so that the run starts from the corpus alone.
        rm -rf "$found" && mkdir -p "$found"
        "$target" "${options[@]}" -seed=1 -runs="$ci_runs" "$found" "$corpus" || status=1
    else
        echo "== $name: $seconds seconds"
        mkdir -p "$found"
        "$target" "${options[@]}" -max_total_time="$seconds" "$found" "$corpus" || status=1
    fi
done
exit $status
