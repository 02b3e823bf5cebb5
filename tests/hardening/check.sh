#!/usr/bin/env bash
# Hardening, read where each flag can be seen, so a build change cannot drop one silently.
#
#   check.sh native BINARY COMPILE_COMMANDS_JSON
#     PIE, full RELRO and a non-executable stack from the binary itself; the stack protector
#     and fortify flags from the compile commands of our own sources (a static binary carries
#     libc's checking symbols whatever our flags are).
#   check.sh exe OBJDUMP EXE
#     ASLR and DEP from the PE header, and no import beyond what a bare Windows has
#     (KERNEL32.dll and the C runtime msvcrt.dll).
set -u
failures=0
expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

# Every compile command of a source, one a line.
commands_for() {
  python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].endswith("/" + sys.argv[2]):
        print(entry.get("command") or " ".join(entry["arguments"]))' "$commands" "$1"
}

case $1 in
native)
  binary=$2 commands=$3
  header=$(readelf -hW "$binary") dynamic=$(readelf -dW "$binary") segments=$(readelf -lW "$binary")
  expect 'position independent (ELF type DYN)' grep -q 'Type: *DYN' <<<"$header"
  expect 'PIE flag' grep -qE 'FLAGS_1.*\bPIE\b' <<<"$dynamic"
  expect 'BIND_NOW (full RELRO)' grep -qE '\(FLAGS\).*\bBIND_NOW\b|FLAGS_1.*\bNOW\b' <<<"$dynamic"
  expect 'RELRO segment' grep -q 'GNU_RELRO' <<<"$segments"
  expect 'non-executable stack' grep -qE 'GNU_STACK( +0x[0-9a-f]+){5} RW ' <<<"$segments"

  for source in tool/main.cpp tool/entry.cpp tool/directory_exists.cpp kernel/posix_kernel.cpp; do
    lines=$(commands_for "$source")
    expect "$source: compiled" test -n "$lines"
    expect "$source: stack protector" bash -c '! grep -v -- -fstack-protector-strong <<<"$0"' "$lines"
    expect "$source: _FORTIFY_SOURCE" bash -c '! grep -vE -- "-D_FORTIFY_SOURCE=[23]" <<<"$0"' "$lines"
  done
  ;;
exe)
  objdump=$2 exe=$3
  headers=$("$objdump" -p "$exe")
  expect 'PE32 image' grep -q 'Magic.*(PE32)' <<<"$headers"
  expect 'console program' grep -q 'Subsystem.*Windows CUI' <<<"$headers"
  expect 'ASLR (DYNAMIC_BASE)' grep -qw 'DYNAMIC_BASE' <<<"$headers"
  expect 'DEP (NX_COMPAT)' grep -qw 'NX_COMPAT' <<<"$headers"
  imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}' | sort | tr '\n' ' ')
  expect "imports only KERNEL32.dll and msvcrt.dll (found: $imports)" test "$imports" = 'KERNEL32.dll msvcrt.dll '
  ;;
*)
  echo "usage: check.sh native BINARY COMPILE_COMMANDS_JSON | exe OBJDUMP EXE" >&2
  exit 2
  ;;
esac

echo "$failures failed"
[[ $failures -eq 0 ]]
