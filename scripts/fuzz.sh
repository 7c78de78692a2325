#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $PAGORA_FUZZ_BUILD_DIR) and runs
# them for $PAGORA_FUZZ_SECONDS (60) seconds in total, shared evenly. Each starts from the
# committed corpus in fuzz/corpus/<target>/; what it learns stays in the build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_FUZZ_BUILD_DIR:-$top/build-fuzz}
seconds=${PAGORA_FUZZ_SECONDS:-60}

"$top/scripts/setup.sh" fuzz
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DPAGORA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# AddressSanitizer holds 256 MB of freed memory back to catch late uses; libFuzzer's own
# buffers fill that within seconds, and the page faults then cost more than the fuzzing.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

targets=(drivemap pageaddress charset pagetext)
each=$((seconds / ${#targets[@]}))
status=0
for target in "${targets[@]}"; do
    learned="$build/corpus/$target"
    log="$build/fuzz_$target.log"
    mkdir -p "$learned"
    if ! "$build/fuzz/fuzz_$target" -max_total_time="$each" -print_final_stats=1 \
        -artifact_prefix="$build/crash-$target-" "$learned" "$top/fuzz/corpus/$target" \
        >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz_$target: FAILED; the input is in $build/crash-$target-*" >&2
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "fuzz_$target: ${runs:-0} inputs in $each s, corpus $(ls "$learned" | wc -l) learned"
done
exit $status
