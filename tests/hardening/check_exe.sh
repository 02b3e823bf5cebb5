#!/usr/bin/env bash
# The exe's hardening and dependencies, from its PE header: ASLR and DEP set, and no import
# beyond what a bare Windows has (KERNEL32.dll and the C runtime msvcrt.dll).
#
#   check_exe.sh OBJDUMP EXE
set -u
objdump=$1 exe=$2
failures=0
expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

headers=$("$objdump" -p "$exe")
expect 'PE32 image' grep -q 'Magic.*(PE32)' <<<"$headers"
expect 'console program' grep -q 'Subsystem.*Windows CUI' <<<"$headers"
expect 'ASLR (DYNAMIC_BASE)' grep -qw 'DYNAMIC_BASE' <<<"$headers"
expect 'DEP (NX_COMPAT)' grep -qw 'NX_COMPAT' <<<"$headers"
imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}' | sort | tr '\n' ' ')
expect "imports only KERNEL32.dll and msvcrt.dll (found: $imports)" test "$imports" = 'KERNEL32.dll msvcrt.dll '

echo "$failures failed"
[[ $failures -eq 0 ]]
