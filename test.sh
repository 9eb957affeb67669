#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once normally, once under
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

echo "== format check =="
find src tests bench tools fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run --Werror

echo "== core include check =="
# The core includes what it uses; the umbrella header is for the front ends only.
if grep -rn '#include "core/DataFunc.h"' src/core; then
    echo "src/core includes core/DataFunc.h; include the headers it uses instead" >&2
    exit 1
fi
# The core reaches the system only through src/platform.
if grep -rnE '#include <(unistd\.h|fcntl\.h|dirent\.h|sys/)' src/core; then
    echo "src/core includes a POSIX header; go through src/platform instead" >&2
    exit 1
fi
# The open school holds its table and its writer lock: no process-wide school state comes back.
if grep -rnwE 'g_schoolSession|g_memStudents' src; then
    echo "src refers to a global school state; go through the open school (core/OpenSchool.h)" >&2
    exit 1
fi

export QT_QPA_PLATFORM=offscreen
# A compiler cache, where the machine has one, makes a rebuild from a fresh clone quick.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DVARNHOLT_WERROR=ON "${launcher[@]}" "$@"
    cmake --build "$dir" -j2
    ctest --test-dir "$dir" --output-on-failure -j2
}

echo "== build and test =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== build and test with sanitizers =="
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DVARNHOLT_SANITIZE=ON -DVARNHOLT_BENCH=OFF
echo "All tests passed."
