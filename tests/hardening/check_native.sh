#!/usr/bin/env bash
# The native tool's hardening, where each flag can be seen: PIE, full RELRO and a
# non-executable stack in the binary itself; the stack protector and fortify flags in the
# compile commands of our own sources (a static binary carries libc's checking symbols
# whatever our flags are).
#
#   check_native.sh BINARY COMPILE_COMMANDS_JSON
set -u
binary=$1 commands=$2
failures=0
expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

header=$(readelf -hW "$binary") dynamic=$(readelf -dW "$binary") segments=$(readelf -lW "$binary")
expect 'position independent (ELF type DYN)' grep -q 'Type: *DYN' <<<"$header"
expect 'PIE flag' grep -qE 'FLAGS_1.*\bPIE\b' <<<"$dynamic"
expect 'BIND_NOW (full RELRO)' grep -qE '\(FLAGS\).*\bBIND_NOW\b|FLAGS_1.*\bNOW\b' <<<"$dynamic"
expect 'RELRO segment' grep -q 'GNU_RELRO' <<<"$segments"
expect 'non-executable stack' grep -qE 'GNU_STACK( +0x[0-9a-f]+){5} RW ' <<<"$segments"

# Every compile command of each source, one a line.
commands_for() {
  python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].endswith("/" + sys.argv[2]):
        print(entry.get("command") or " ".join(entry["arguments"]))' "$commands" "$1"
}
for source in tool/main.cpp tool/entry.cpp tool/directory_exists.cpp kernel/posix_kernel.cpp; do
  lines=$(commands_for "$source")
  expect "$source: compiled" test -n "$lines"
  expect "$source: stack protector" bash -c '! grep -v -- -fstack-protector-strong <<<"$0"' "$lines"
  expect "$source: _FORTIFY_SOURCE" bash -c '! grep -vE -- "-D_FORTIFY_SOURCE=[23]" <<<"$0"' "$lines"
done

echo "$failures failed"
[[ $failures -eq 0 ]]
