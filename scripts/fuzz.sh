#!/usr/bin/env bash
# Fuzzes every harness under fuzz/ (fuzz/*Fuzzer.cpp) with AFL++ for SECONDS each (default 600),
# one after another, starting from its seed corpus in fuzz/corpus/<harness>/.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]
# The code is built in build-fuzz/ by afl-g++ (AFL++'s gcc mode: the core needs gcc for its GBK
# literals) with AddressSanitizer and UndefinedBehaviorSanitizer. Findings are kept in
# build-fuzz/findings/<harness>/default/{crashes,hangs}; replay one with
# build/fuzz/replay_<harness> FILE. Exits 1 when any harness crashed or hung.
# (AFL++'s gcc plugin does not load into Debian 12's gcc, so afl-g++ is its classic assembler mode;
# each run forks the program, which is slower than in-process fuzzing but needs nothing else.)
set -euo pipefail
seconds=${1:-600}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
out=${VARNHOLT_FUZZ_DIR:-$root/build-fuzz}
if [ $# -gt 0 ]; then
    harnesses=("$@")
else
    mapfile -t harnesses < <(cd "$root/fuzz" && ls -- *Fuzzer.cpp | sed 's/\.cpp$//')
fi

export AFL_QUIET=1
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=afl-g++ \
      -DVARNHOLT_SANITIZE=ON -DVARNHOLT_WITH_QT=OFF -DVARNHOLT_BENCH=OFF >/dev/null
cmake --build "$out" -j2 --target "${harnesses[@]/#/replay_}"

export AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:allocator_may_return_null=1
found=0
mkdir -p "$out/findings"
for harness in "${harnesses[@]}"; do
    findings="$out/findings/$harness"
    rm -rf "$findings"
    # A case that runs over 10 s counts as a hang: every file must be read or refused within that.
    afl-fuzz -i "$root/fuzz/corpus/$harness" -o "$findings" -V "$seconds" -t 10000 -m none \
             -- "$out/fuzz/replay_$harness" @@ >"$out/$harness.log" 2>&1 || true
    stats="$findings/default/fuzzer_stats"
    execs=$(awk -F': *' '/^execs_done/ {print $2}' "$stats" 2>/dev/null || echo 0)
    crashes=$( (ls "$findings/default/crashes" 2>/dev/null || true) | grep -c '^id:' || true)
    hangs=$( (ls "$findings/default/hangs" 2>/dev/null || true) | grep -c '^id:' || true)
    echo "$harness: ${seconds} s, ${execs:-0} runs, $crashes crashes, $hangs hangs"
    [ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ] || found=1
done
exit $found
