#!/usr/bin/env bash
# The exact kernel calls that vestrill.exe makes, read from Wine's relay trace.
#
#   kernel_calls.sh WINE_RUN WINEPREFIX OBJDUMP EXE
#
# Each case runs the exe once with WINEDEBUG=+relay and keeps the calls to the four kernel
# functions that come from the exe's own code. Addresses become names in order of appearance
# (p1, p2, ...), so the trace shows which calls share a buffer or a handle; 00000000 stays as
# the null pointer and ffffffff as the failed search's handle. The search's result is shown
# because the tool branches on it; the other results are ignored by the tool and left out.
set -u
wine_run=$1 prefix=$2 objdump=$3 exe=$4
[[ $exe == /* ]] || exe=$PWD/$exe
[[ $prefix == /* ]] || prefix=$PWD/$prefix
[[ $wine_run == /* ]] || wine_run=$PWD/$wine_run

image_size=$("$objdump" -p "$exe" | awk '$1 == "SizeOfImage" { print $2 }')
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vestrill-calls.XXXXXX")
drive=''
trap 'rm -rf "$scratch"; [[ -n $drive ]] && rm -f "$prefix/dosdevices/$drive:"' EXIT

# Prints the tool's calls from a trace on stdin.
calls() {
  awk -v size=$((16#$image_size)) -v exe="${exe##*/}" '
    # The exe is mapped where its loading thread reports; only its own calls count.
    /:trace:loaddll:/ && index($0, "\\\\" exe "\" at ") {
      split($0, parts, ":"); thread = parts[1]
      for (i = 1; i <= NF; i++) if ($i == "at") base = hex(substr($(i + 1), 1, 8))
      next
    }
    base == "" || index($0, thread ":") != 1 { next }
    match($0, / ret=[0-9a-f]+$/) {
      from = hex(substr($0, RSTART + 5))
      if (from < base || from >= base + size) next
    }
    match($0, /:Call KERNEL32\.(lstrlenA|FindFirstFileA|FindClose|CreateDirectoryA)\(/) {
      call = substr($0, RSTART + 15, RLENGTH - 15)
      arguments = substr($0, RSTART + RLENGTH)
      sub(/\) ret=[0-9a-f]+$/, "", arguments)
      pending = call name_values(arguments) ")"
      if (call !~ /^FindFirstFileA/) { print pending; pending = "" }
      next
    }
    /:Ret  KERNEL32\.FindFirstFileA\(\) retval=/ && pending != "" {
      match($0, /retval=[0-9a-f]+/)
      print pending " = " name_values(substr($0, RSTART + 7, RLENGTH - 7))
      pending = ""
    }
    function hex(text,    value, i) {
      value = 0
      for (i = 1; i <= length(text); i++)
        value = value * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
      return value
    }
    # Replaces each address outside quoted text with its name.
    function name_values(text,    out, quoted, previous, rest, word, i, c) {
      out = ""; quoted = 0; previous = ""
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (quoted && c == "\\") { out = out substr(text, i, 2); i++; continue }
        if (c == "\"") quoted = !quoted
        rest = substr(text, i)
        if (!quoted && previous !~ /[0-9a-z]/ &&
            match(rest, /^[0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f]/)) {
          word = substr(rest, 1, 8)
          if (word != "00000000" && word != "ffffffff") {
            if (!(word in names)) names[word] = "p" (++count)
            word = names[word]
          }
          out = out word; i += 7; previous = "0"; continue
        }
        out = out c; previous = c
      }
      return out
    }
  '
}

passed=0 failed=0
# check NAME SETUP ARGUMENT EXPECTED: runs the exe on ARGUMENT in a fresh directory prepared by
# SETUP and compares its calls with EXPECTED.
check() {
  local name=$1 setup=$2 argument=$3 expected=$4
  local dir="$scratch/$((passed + failed))"
  mkdir "$dir" && cd "$dir" || exit 2
  eval "$setup"
  local found
  found=$(WINEDEBUG=+relay,+loaddll "$wine_run" "$exe" "$argument" 2>&1 >/dev/null | calls)
  cd / || exit 2
  if [[ $found == "$expected" ]]; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    diff <(echo "$expected") <(echo "$found") | sed -n 's/^[<>]/    &/p'
    failed=$((failed + 1))
  fi
}

check 'an existing directory: one search, closed; no creation' 'mkdir -p home/quelt' 'home\quelt' \
'lstrlenA(p1 "home\\quelt")
FindFirstFileA(p1 "home\\quelt",p2) = p3
FindClose(p3)'

check 'a missing directory: the failed search is not closed; one creation, same buffer' \
  'mkdir home' 'home\quelt' \
'lstrlenA(p1 "home\\quelt")
FindFirstFileA(p1 "home\\quelt",p2) = ffffffff
CreateDirectoryA(p1 "home\\quelt",00000000)'

check 'an existing file: the search is closed before the one creation' \
  'mkdir home && echo data >home/quelt' 'home\quelt' \
'lstrlenA(p1 "home\\quelt")
FindFirstFileA(p1 "home\\quelt",p2) = p3
FindClose(p3)
CreateDirectoryA(p1 "home\\quelt",00000000)'

# A drive letter of this prefix's own, mapped to a scratch directory.
for letter in v w x y; do
  [[ -e $prefix/dosdevices/$letter: ]] || { drive=$letter; break; }
done
ln -s "$scratch" "$prefix/dosdevices/$drive:"
upper=${drive^^}
check 'a bare drive designator: search and creation both get the root form' '' "$upper:" \
"lstrlenA(p1 \"$upper:\")
FindFirstFileA(p1 \"$upper:\\\\\",p2) = ffffffff
CreateDirectoryA(p1 \"$upper:\\\\\",00000000)"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
