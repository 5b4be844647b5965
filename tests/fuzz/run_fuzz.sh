#!/bin/sh
# Builds the fuzz targets with clang and libFuzzer (with the address and
# undefined-behaviour sanitizers) and runs them one after another within a
# bounded time, each starting from its seeds in tests/fuzz/corpus/NAME.
# Inputs found on the way go to the build folder, never into the repository.
#
#   run_fuzz.sh [BUILD-DIR [SECONDS]]      (defaults: build-fuzz, 30; SECONDS in all)
#
# Without a clang that can build libFuzzer targets it says so and skips.
set -eu
cd "$(dirname "$0")/../.."
build=${1:-build-fuzz}
seconds=${2:-30}

clang=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$clang" ]; then
    echo "SKIPPED fuzzing: clang++ is not installed (clang-14 and libclang-rt-14-dev)"
    exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' \
    >"$probe/probe.cpp"
if ! "$clang" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
    2>"$probe/log"; then
    echo "SKIPPED fuzzing: $clang cannot build libFuzzer targets (libclang-rt-14-dev?):"
    head -5 "$probe/log"
    exit 0
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$clang" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKD_THREADED_ONLY=ON -DKD_FUZZ=ON \
    -DKD_SANITIZE=address,undefined >/dev/null
# Every target with its own seeds in tests/fuzz/corpus/NAME; the time given
# is shared between them.
targets="airplay http_request appcast"
count=$(echo $targets | wc -w)
share=$((seconds / count))
[ "$share" -ge 1 ] || share=1
cmake --build "$build" -j "${KD_JOBS:-2}" --target $(for t in $targets; do printf '%s_fuzz ' "$t"; done)

for target in $targets; do
    found="$build/fuzz-corpus/$target"
    log="$build/${target}_fuzz.log"
    mkdir -p "$found"
    if ! "$build/tests/fuzz/${target}_fuzz" -max_total_time="$share" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/${target}-" \
        "$found" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "${target}_fuzz found a fault; its input is in $build/ (full log: $log)"
        exit 1
    fi
    echo "${target}_fuzz:"
    grep -E '^(Done|stat::)' "$log"
done
