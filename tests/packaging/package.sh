#!/usr/bin/env bash
# Makes the package of a configured build tree with CPack, installs or unpacks it in a scratch
# directory, and runs the tool from there.
#
#   package.sh deb CPACK BUILD_DIR VERSION
#   package.sh zip CPACK BUILD_DIR VERSION WINE_RUN
set -u
kind=$1 cpack=$2 build=$3 version=$4
runner=("${@:5}")

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vestrill-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  fail "cpack"
  exit 1
fi

root=$scratch/root
mkdir "$root"
case $kind in
  deb)
    package=$scratch/out/vestrill_${version}_$(dpkg --print-architecture).deb
    [[ -f $package ]] || { fail "no $package"; ls "$scratch/out"; exit 1; }
    # The static tool depends on nothing.
    fields=$(dpkg-deb -f "$package" Package Version Architecture Depends Pre-Depends)
    expected_fields="Package: vestrill
Version: $version
Architecture: $(dpkg --print-architecture)"
    [[ $fields == "$expected_fields" ]] || fail "control fields: $fields"
    # Installed as dpkg installs it, into a root of its own.
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    touch "$root/var/lib/dpkg/status"
    dpkg --force-not-root --root="$root" --log=/dev/null -i "$package" >"$scratch/dpkg.log" 2>&1 ||
      { cat "$scratch/dpkg.log"; fail "dpkg -i"; }
    files=$(dpkg --root="$root" -L vestrill | while read -r path; do
              [[ -f $root$path ]] && echo "$path"; done)
    expected_files='/usr/bin/vestrill
/usr/share/man/man1/vestrill.1'
    tool=$root/usr/bin/vestrill
    ;;
  zip)
    package=$scratch/out/vestrill-$version-win32.zip
    [[ -f $package ]] || { fail "no $package"; ls "$scratch/out"; exit 1; }
    (cd "$root" && cmake -E tar xf "$package") || fail "unzip"
    files=$(cd "$root" && find . -type f | sort)
    expected_files="./vestrill-$version-win32/README.md
./vestrill-$version-win32/vestrill.exe"
    tool=$root/vestrill-$version-win32/vestrill.exe
    ;;
esac
[[ $files == "$expected_files" ]] || fail "files: $files"

# The packaged tool runs: its banner names the package's version, and it creates a directory.
mkdir -p "$scratch/run/home" && cd "$scratch/run" || exit 2
banner=$("${runner[@]}" "$tool" | head -n 1 | tr -d '\r')
[[ $banner == "  Tamberwick vestrill v$version" ]] || fail "banner: $banner"
"${runner[@]}" "$tool" home/quelt || fail "exit status $?"
[[ -d home/quelt ]] || fail "home/quelt was not created"

[[ $failed -eq 0 ]] && echo "ok: the $kind installs and runs"
[[ $failed -eq 0 ]]
