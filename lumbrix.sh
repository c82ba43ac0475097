#!/bin/sh
# Sets up a Debian 12 machine for Lumbrix, builds it, and then either starts the shell
# (`./lumbrix.sh`), runs the whole test suite (`./lumbrix.sh test`) or the benchmark
# (`./lumbrix.sh bench`).
# Installs only the Debian packages that are missing; safe to run again and again.
set -eu
cd "$(dirname "$0")"

PACKAGES="build-essential cmake libglpk-dev glpk-utils coinor-libcbc-dev libgtest-dev libreadline-dev valgrind libcli11-dev libgmp-dev zlib1g-dev libbz2-dev slurm-wlm munge chromium nlohmann-json3-dev"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing" >&2
    as_root=""
    [ "$(id -u)" -eq 0 ] || as_root="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $as_root apt-get update -qq
    # shellcheck disable=SC2086
    $as_root apt-get install -y -qq --no-install-recommends $missing >&2
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo ${LUMBRIX_CMAKE_ARGS:-} >&2
cmake --build build -j "$jobs" >&2

case "${1:-run}" in
    run)
        exec ./build/lumbrix
        ;;
    test)
        ctest --test-dir build --output-on-failure -j "$jobs"
        # The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
        cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMBRIX_SANITIZE=ON \
            ${LUMBRIX_CMAKE_ARGS:-} >&2
        cmake --build build-sanitize -j "$jobs" >&2
        ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
        ;;
    bench)
        exec bench/run.sh build
        ;;
    *)
        echo "usage: $0 [run|test|bench]" >&2
        exit 2
        ;;
esac
