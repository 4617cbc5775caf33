#!/usr/bin/env bash
# Installs a build tree into a fresh prefix and makes its Debian packages, and
# checks what lands where:
#   install_test.sh BUILD_DIR VERSION WITH_DIALOG LIBDIR CONFIG [PYTHON_MODULE]
# (CONFIG: the build type in lower case, which names a CMake export file;
# PYTHON_MODULE: the module's file name, none without it.) The installed
# file list is exact, and so is each package's; the packages depend on one
# another as they must, quillon-cli without Qt; the desktop entry validates,
# and the installed programs run from an unrelated folder.
set -euo pipefail
build=$1 version=$2 with_dialog=$3 libdir=$4 config=$5 python_module=${6:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Which package holds each installed file and link.
files=(
  "quillon-cli bin/quillon-cli"
  "quillon-cli share/bash-completion/completions/quillon-cli"
  "quillon-cli share/man/man1/quillon-cli.1.gz"
  "quillon-cli share/zsh/vendor-completions/_quillon-cli"
  "libquillon1 $libdir/libquillon.so.1"
  "libquillon1 $libdir/libquillon.so.1.0.0"
  "libquillon-dev include/quillon/quillon.h"
  "libquillon-dev $libdir/cmake/Quillon/QuillonConfig.cmake"
  "libquillon-dev $libdir/cmake/Quillon/QuillonConfigVersion.cmake"
  "libquillon-dev $libdir/cmake/Quillon/QuillonTargets.cmake"
  "libquillon-dev $libdir/cmake/Quillon/QuillonTargets-$config.cmake"
  "libquillon-dev $libdir/libquillon.so"
  "libquillon-dev $libdir/pkgconfig/quillon.pc"
)
packages=(quillon-cli libquillon1 libquillon-dev)
if [[ $with_dialog =~ ^(ON|1|TRUE|YES)$ ]]; then
  packages+=(quillon)
  files+=(
    "quillon bin/quillon"
    "quillon share/applications/quillon.desktop"
    "quillon share/man/man1/quillon.1.gz"
    "quillon share/quillon/quillon-help.css"
    "quillon share/quillon/quillon.html"
    "quillon share/quillon/quillon_zh_CN.html"
    "quillon share/quillon/quillon_zh_TW.html"
    "quillon share/icons/hicolor/scalable/apps/quillon.svg"
  )
  for size in 16 32 48 128 256; do
    files+=("quillon share/icons/hicolor/${size}x${size}/apps/quillon.png")
  done
fi
if [[ -n $python_module ]]; then
  packages+=(python3-quillon)
  files+=(
    "python3-quillon lib/python3/dist-packages/$python_module"
    "python3-quillon share/doc/python3-quillon/examples/convert_folder.py"
  )
fi
for package in "${packages[@]}"; do
  for doc in README changelog.gz copyright; do files+=("$package share/doc/$package/$doc"); done
done

status=0
listed() {  # the files of PACKAGE, or of all packages
  for row in "${files[@]}"; do
    [[ -z ${1:-} || ${row%% *} == "$1" ]] && echo "${row#* }"
  done | sort
}

# The whole install.
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
diff <(listed) <(cd "$prefix" && find . ! -type d -printf '%P\n' | sort) || status=1
(
  cd /
  # Installed programs carry no search path of their own: they find the
  # library where the system looks, which for this prefix must be named.
  first=$(LD_LIBRARY_PATH="$prefix/$libdir" "$prefix/bin/quillon-cli" --version | head -n 1)
  [[ $first == "quillon-cli $version" ]] || { echo "installed --version says: $first"; exit 1; }
) || status=1
if [[ -e $prefix/share/applications/quillon.desktop ]]; then
  desktop-file-validate "$prefix/share/applications/quillon.desktop" || status=1
fi

# The packages, each with its own files under /usr.
cpack -G DEB -B "$work/debs" --config "$build/CPackConfig.cmake" >/dev/null
for package in "${packages[@]}"; do
  deb=$(echo "$work/debs/${package}_${version}_"*.deb)
  diff --label "$package (listed)" --label "$package (packaged)" <(listed "$package") \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub("^\\./usr/", "", $6); print $6 }' | sort) || status=1
  dpkg-deb -x "$deb" "$work/root"
done

# Dependencies: each package on the library of its own version, the dialog on
# the command-line tool; the command-line tool on nothing of Qt.
depends_on() {  # PACKAGE DEPENDENCY...
  local package=$1 field
  field=$(dpkg-deb -f "$work/debs/${package}_${version}_"*.deb Depends)
  shift
  for dependency in "$@"; do
    grep -qF "$dependency" <<<"$field" || { echo "$package does not depend on $dependency: $field"; status=1; }
  done
  [[ $package != quillon-cli ]] || ! grep -qi qt <<<"$field" || { echo "quillon-cli depends on Qt: $field"; status=1; }
}
# quillon-cli loads only the library, which brings ICU.
depends_on quillon-cli "libquillon1 (= $version)"
depends_on libquillon1 libicu
depends_on libquillon-dev "libquillon1 (= $version)"
[[ ! $with_dialog =~ ^(ON|1|TRUE|YES)$ ]] || depends_on quillon "quillon-cli (= $version)" "libquillon1 (= $version)" libqt6widgets6
[[ -z $python_module ]] || depends_on python3-quillon "libquillon1 (= $version)" "python3 (>= 3"

# The library by its soname, which the shlibs file gives programs built on it.
shlibs=$(dpkg-deb -I "$work/debs/libquillon1_${version}_"*.deb shlibs)
[[ $shlibs == "libquillon 1 libquillon1 (>= $version)" ]] || { echo "libquillon1's shlibs: $shlibs"; status=1; }
# ldconfig runs by trigger, as Debian wants, not from maintainer scripts.
control=$(dpkg-deb -I "$work/debs/libquillon1_${version}_"*.deb)
[[ $(dpkg-deb -I "$work/debs/libquillon1_${version}_"*.deb triggers) == "activate-noawait ldconfig" &&
   ! $control =~ postinst|postrm ]] || { echo "libquillon1's control: $control"; status=1; }
soname=$(objdump -p "$work/root/usr/$libdir/libquillon.so.1.0.0" | awk '$1 == "SONAME" { print $2 }')
[[ $soname == libquillon.so.1 ]] || { echo "libquillon's soname: $soname"; status=1; }

# What the packaged programs load: the library of the package, and no Qt for
# the command-line tool.
loaded=$(LD_LIBRARY_PATH="$work/root/usr/$libdir" ldd "$work/root/usr/bin/quillon-cli")
! grep -Eq 'Qt|not found' <<<"$loaded" || { echo "quillon-cli loads: $loaded"; status=1; }
exit $status
