#!/bin/sh
# Installs the library's two components under a prefix of their own, checks
# what each holds, and builds a small program against them twice: through
# pkg-config and through find_package(Quillon). Both must print exact bytes.
# $1: the build tree; $2: the consumer program's folder; $3: extra compiler
# flags (the sanitizers of the build).
set -eu
build=$1
consumer=$2
flags=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/runtime" --component libquillon1 >/dev/null
runtime=$(cd "$work/runtime" && find . ! -type d ! -path './share/doc/*' | sed 's|.*/||' | sort | tr '\n' ' ')
[ "$runtime" = "libquillon.so.1 libquillon.so.1.0.0 " ] || fail "libquillon1 holds: $runtime"

prefix=$work/prefix
for component in libquillon1 libquillon-dev; do
    cmake --install "$build" --prefix "$prefix" --component $component >/dev/null
done
pc=$(find "$prefix" -name quillon.pc)
[ -n "$pc" ] || fail "no quillon.pc installed"
for file in quillon/quillon.h QuillonConfig.cmake QuillonConfigVersion.cmake QuillonTargets.cmake libquillon.so; do
    [ -n "$(find "$prefix" -path "*/$file")" ] || fail "libquillon-dev lacks $file"
done

expected=$(printf '漢語\nUTF-8 UTF-8 simplified CRLF')

export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc")
libdir=$(pkg-config --variable=libdir quillon)
# shellcheck disable=SC2046,SC2086
c++ -std=c++20 $flags "$consumer/consumer.cpp" $(pkg-config --cflags --libs quillon) -Wl,-rpath,"$libdir" \
    -o "$work/by-pkg-config"
[ "$("$work/by-pkg-config")" = "$expected" ] || fail "pkg-config build printed: $("$work/by-pkg-config")"

cmake -S "$consumer" -B "$work/by-cmake" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$work/by-cmake" >/dev/null
[ "$("$work/by-cmake/consumer")" = "$expected" ] || fail "find_package build printed: $("$work/by-cmake/consumer")"
