#!/usr/bin/env bash
# Installs a build tree into a fresh prefix and checks what lands there:
#   install_test.sh BUILD_DIR VERSION WITH_DIALOG LIBDIR CONFIG
# (CONFIG: the build type in lower case, which names a CMake export file)
# The file list is exact, the desktop entry validates, and the installed
# programs run from an unrelated folder.
set -euo pipefail
build=$1 version=$2 with_dialog=$3 libdir=$4 config=$5
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/quillon-cli
  include/quillon/quillon.h
  "$libdir/cmake/Quillon/QuillonConfig.cmake"
  "$libdir/cmake/Quillon/QuillonConfigVersion.cmake"
  "$libdir/cmake/Quillon/QuillonTargets.cmake"
  "$libdir/cmake/Quillon/QuillonTargets-$config.cmake"
  "$libdir/libquillon.so.1.0.0"
  "$libdir/pkgconfig/quillon.pc"
  share/bash-completion/completions/quillon-cli
  share/doc/quillon/changelog.gz
  share/doc/quillon/copyright
  share/man/man1/quillon-cli.1.gz
  share/zsh/vendor-completions/_quillon-cli
)
if [[ $with_dialog =~ ^(ON|1|TRUE|YES)$ ]]; then
  expected+=(
    bin/quillon
    share/applications/quillon.desktop
    share/man/man1/quillon.1.gz
    share/quillon/quillon-help.css
    share/quillon/quillon.html
    share/quillon/quillon_zh_CN.html
    share/quillon/quillon_zh_TW.html
    share/icons/hicolor/scalable/apps/quillon.svg
  )
  for size in 16 32 48 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/quillon.png")
  done
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort)

cd /
first=$("$prefix/bin/quillon-cli" --version | head -n 1)
[[ $first == "quillon-cli $version" ]] || { echo "installed --version says: $first"; exit 1; }
if [[ -e $prefix/share/applications/quillon.desktop ]]; then
  desktop-file-validate "$prefix/share/applications/quillon.desktop"
fi
echo "installed ${#expected[@]} files"
