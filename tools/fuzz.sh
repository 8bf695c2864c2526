#!/usr/bin/env bash
# Fuzzes the level loader and the share code reader (tests/fuzz/LevelFuzz.cpp) with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer for SECONDS (default 60),
# starting from the committed corpus in tests/fuzz/corpus. Installs clang and
# its libFuzzer runtime when they are missing, builds into build-fuzz/.
# Exits non-zero on any finding; the input that caused it is written to
# build-fuzz/ (crash-*, leak-*, timeout-*, oom-*) and can be replayed with
#   build-fuzz/kelvod_fuzz_level build-fuzz/crash-...
# Usage: tools/fuzz.sh [SECONDS] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true

packages=(clang libclang-rt-14-dev)
. tools/packages.sh
install_missing "${packages[@]}"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVOD_FUZZ=ON \
  -DKELVOD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target kelvod_fuzz_level

# New inputs go to a scratch corpus; the committed one is only read.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
build-fuzz/kelvod_fuzz_level -max_total_time="$seconds" -max_len=8000 -timeout=30 -rss_limit_mb=2048 \
  -artifact_prefix=build-fuzz/ -print_final_stats=1 "$@" "$work" tests/fuzz/corpus
