#!/usr/bin/env bash
# The whole program as a process, one table of cases for both builds.
#
#   cases.sh native|windows COMMAND...
#
# COMMAND runs the program (for the Windows build: the Wine runner and the exe). Every row runs
# it in a fresh scratch directory and checks: exit status 0, the expected output (none but for
# the usage row), nothing on stderr, and that the scratch tree changed by exactly the expected
# new directories and nothing else.
set -u
platform=$1
shift
program=()
# Rows run in scratch directories, so relative paths to the program must be made absolute.
for word in "$@"; do
  [[ -e $word && $word != /* ]] && word=$PWD/$word
  program+=("$word")
done

usage='  Tamberwick vestrill v1.0
  usage vestrill "[rootpath]"
  ex: vestrill "c:\home\quelt"'

long_name() { head -c "$1" /dev/zero | tr '\0' x; }
long=$(long_name 100000)
# A Windows command line holds at most 32,767 characters.
[[ $platform == windows ]] && long=$(long_name 30000)

scratch_root=$(mktemp -d "${TMPDIR:-/tmp}/vestrill-cases.XXXXXX")
trap 'chmod -R u+w "$scratch_root"; rm -rf "$scratch_root"' EXIT
umask 022

# Every entry with its type and mode; files also with size and modification time, so a rewrite
# shows. Directory times are left out: creating a child changes its parent's.
snapshot() {
  { find . -mindepth 1 -type d -printf '%y %m %p\n'
    find . -mindepth 1 ! -type d -printf '%y %m %s %T@ %p %l\n'; } | LC_ALL=C sort
}

passed=0 failed=0 rows=0

# row WHERE NAME OUTPUT SETUP CREATES ARGS...
#   WHERE    both, native or windows: the builds on which the row's meaning holds
#   OUTPUT   usage, or empty for no output
#   SETUP    shell commands that prepare the scratch directory
#   CREATES  the directories the run must add, separated by |, or empty
row() {
  local where=$1 name=$2 output=$3 setup=$4 creates=$5
  shift 5
  [[ $where == both || $where == "$platform" ]] || return 0
  rows=$((rows + 1))

  local dir="$scratch_root/$rows" problems=()
  mkdir "$dir" && cd "$dir" || exit 2
  eval "$setup" || { echo "FAIL: $name: setup failed"; failed=$((failed + 1)); cd /; return; }
  local before expected_new
  before=$(snapshot)
  local new_paths=()
  IFS='|' read -ra new_paths <<<"$creates"
  expected_new=$(for path in "${new_paths[@]}"; do echo "d 755 ./$path"; done)

  "${program[@]}" "$@" >"$scratch_root/out" 2>"$scratch_root/err"
  local status=$?

  [[ $status -eq 0 ]] || problems+=("exit status $status")
  local out expected_out=""
  out=$(cat "$scratch_root/out"; echo .)
  out=${out%.}
  [[ $output == usage ]] && expected_out=$usage
  if [[ $out != "$expected_out" && ! ($platform == windows && $out == "${expected_out//$'\n'/$'\r\n'}") ]]; then
    problems+=("output $(printf %q "$out")")
  fi
  [[ -s $scratch_root/err ]] && problems+=("stderr $(head -c 300 "$scratch_root/err")")
  local changes
  changes=$(diff <(printf '%s\n' "$before" "$expected_new" | sed '/^$/d' | LC_ALL=C sort) \
                 <(snapshot) | grep '^[<>]')
  [[ -z $changes ]] || problems+=("tree differs (< expected, > found): $changes")

  cd / || exit 2
  if [[ ${#problems[@]} -eq 0 ]]; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    printf '    %s\n' "${problems[@]}"
    failed=$((failed + 1))
  fi
}

#   where   name                                      output setup                          creates                args
row both    'no argument prints the usage'            usage  'mkdir home'                   ''
row both    'existing directory left untouched'       ''     'mkdir -p home/quelt && echo data >home/quelt/f' '' home/quelt
row both    'existing hidden directory left untouched' ''    'mkdir -p home/.quelt && echo data >home/.quelt/f' '' home/.quelt
row both    'existing regular file left as it was'    ''     'mkdir home && echo data >home/quelt' ''        home/quelt
row both    'missing parent: nothing created'         ''     'mkdir home'                   ''                     home/missing/quelt
row both    'new directory created'                   ''     'mkdir home'                   home/quelt             home/quelt
row both    'only the first argument used'            ''     'mkdir home'                   home/first             home/first home/second home/third
row both    'path with spaces as one argument'        ''     'mkdir home'                   'home/quelt smith'     'home/quelt smith'
row both    'empty argument'                          ''     'mkdir home'                   ''                     ''
row both    'a leading dash is a path, not an option' ''     ''                             -p                     -p
row both    'backslashes separate components'         ''     'mkdir home'                   home/quelt             'home\quelt'
row both    'trailing separator on a new directory'   ''     'mkdir home'                   home/quelt             'home/quelt/'
row both    'trailing separator on an existing one'   ''     'mkdir -p home/quelt'          ''                     'home\quelt\'
row both    'very long argument'                      ''     'mkdir home'                   ''                     "$long"
row native  'bare drive designator names ./C: here'   ''     ''                             'C:'                   C:
row windows 'bare drive designator names the root'    ''     ''                             ''                     C:
row native  'wildcards are ordinary characters'       ''     'mkdir -p home/quelt1'         'home/quelt?'          'home/quelt?'
row windows 'a wildcard matching a directory'         ''     'mkdir -p home/quelt1'         ''                     'home/quelt?'

echo "$passed passed, $failed failed"
[[ $failed -eq 0 && $rows -gt 0 ]]
