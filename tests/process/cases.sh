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

# Wine reads the Unix arguments in the locale's character set; the names below are UTF-8.
export LC_ALL=C.UTF-8

scratch_root=$(mktemp -d "${TMPDIR:-/tmp}/vestrill-cases.XXXXXX")
trap 'chmod -R u+w "$scratch_root"; rm -rf "$scratch_root"' EXIT
umask 022

# Every entry with its type and mode; files also with size and modification time, so a rewrite
# shows. Directory times are left out: creating a child changes its parent's.
snapshot() {
  { find . -mindepth 1 -type d -printf '%y %m %p\n'
    find . -mindepth 1 ! -type d -printf '%y %m %s %T@ %p %l\n'; } | LC_ALL=C sort
}

passed=0 failed=0 skipped=0 rows=0
as_root=false
[[ $(id -u) -eq 0 ]] && as_root=true
chmod 755 "$scratch_root"  # rows that run as another user must reach their directory

# Runs the program once with the row's settings; its output goes to the given files.
run_once() {
  local out=$1 err=$2
  shift 2
  local command=("${program[@]}" "$@")
  if [[ -n $run_as ]] && $as_root; then
    command=(setpriv --reuid="$run_as" --regid="$run_as" --clear-groups "${command[@]}")
  fi
  case $stdout_to in
    closed) "${command[@]}" >&- 2>"$err" ;;
    '') "${command[@]}" >"$out" 2>"$err" ;;
    *) "${command[@]}" >"$stdout_to" 2>"$err" ;;
  esac
}

# row WHERE NAME OUTPUT SETUP CREATES ARGS...
#   WHERE    both, native or windows: the builds on which the row's meaning holds
#   OUTPUT   usage, or empty for no output
#   SETUP    shell commands that prepare the scratch directory; they may also set
#              umask          for the run (the script's own is 022),
#              stdout_to      closed, or a file such as /dev/full,
#              run_as         a user id to run as (when the tests run as root),
#              parallel       a number of simultaneous starts; %i in ARGS becomes each one's index
#   CREATES  the directories the run must add, separated by |, or empty
row() {
  local where=$1 name=$2 output=$3 setup=$4 creates=$5
  shift 5
  [[ $where == both || $where == "$platform" ]] || return 0
  rows=$((rows + 1))

  local dir="$scratch_root/$rows" problems=()
  local stdout_to='' run_as='' parallel=1
  mkdir "$dir" && chmod 755 "$dir" && cd "$dir" || exit 2
  eval "$setup" || { echo "FAIL: $name: setup failed"; failed=$((failed + 1)); cd /; return; }
  if [[ -n $run_as ]] && $as_root && ! command -v setpriv >/dev/null; then
    echo "SKIP: $name: running as root without setpriv to drop privileges"
    skipped=$((skipped + 1)); umask 022; cd /; return
  fi
  local mode before expected_new
  mode=$(printf '%o' $((0777 & ~$(umask))))
  before=$(snapshot)
  local new_paths=()
  IFS='|' read -ra new_paths <<<"$creates"
  expected_new=$(for path in "${new_paths[@]}"; do echo "d $mode ./$path"; done)

  # Every start runs in the background at once, then all are awaited.
  local i arguments=("$@")
  for ((i = 1; i <= parallel; i++)); do
    [[ $parallel -gt 1 ]] && arguments=("${@//%i/$i}")
    (
      run_once "$scratch_root/out.$i" "$scratch_root/err.$i" "${arguments[@]}"
      echo $? >"$scratch_root/status.$i"
    ) &
  done
  wait
  umask 022

  local expected_out=""
  [[ $output == usage ]] && expected_out=$usage
  for ((i = 1; i <= parallel; i++)); do
    local status out
    status=$(cat "$scratch_root/status.$i")
    [[ $status -eq 0 ]] || problems+=("run $i: exit status $status")
    if [[ -z $stdout_to ]]; then
      out=$(cat "$scratch_root/out.$i"; echo .)
      out=${out%.}
      if [[ $out != "$expected_out" &&
            ! ($platform == windows && $out == "${expected_out//$'\n'/$'\r\n'}") ]]; then
        problems+=("run $i: output $(printf %q "$out")")
      fi
    fi
    [[ -s $scratch_root/err.$i ]] && problems+=("run $i: stderr $(head -c 300 "$scratch_root/err.$i")")
  done
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

# Names outside the Western code page reach the file system byte for byte. On Windows a code
# page that cannot hold them would turn each into "?", a wildcard that matches the look-alike.
row both    'a name outside the Western code page'    ''     'mkdir home'                   'home/jürgen-Ж-日本'   'home/jürgen-Ж-日本'
row both    'a look-alike name is not taken for it'   ''     'mkdir -p home/jürgen-X-YZ'    'home/jürgen-Ж-日本'   'home/jürgen-Ж-日本'

# Bad input and hostile surroundings: no crash, status 0, nothing printed, nothing else changed.
deep=$(long_name 200)
deep_parent=$(printf "$deep/%.0s" {1..20})
row both    'a name just over the name limit'         ''     'mkdir home'                   ''                     "home/$(long_name 256)"
row native  'a path just over the path limit'         ''     "mkdir -p $deep_parent"        ''                     "$deep_parent$deep"
row native  'bytes that are not UTF-8'                ''     'mkdir home'                   $'home/\xff\xfe\x80'    $'home/\xff\xfe\x80'
row native  'a path through a regular file'           ''     'echo data >file'              ''                     file/sub
row native  'dot'                                     ''     ''                             ''                     .
row native  'dot dot'                                 ''     ''                             ''                     ..
row native  'the root directory'                      ''     ''                             ''                     /
row native  'a dangling symbolic link: target never created' '' 'ln -s target link'         ''                     link
row native  'a symbolic link to a directory counts'   ''     'mkdir dir && ln -s dir link'  ''                     link
row native  'a parent without write permission'       ''     'mkdir home && chmod 555 home; run_as=65534' '' home/quelt
row both    'standard output closed, no argument'     ''     'stdout_to=closed'             ''
row both    'standard output on a full device'        ''     'stdout_to=/dev/full'          ''
row both    'umask 077 gives 0700'                    ''     'mkdir home; umask 077'        home/quelt             home/quelt
row both    'many simultaneous starts on one path'    ''     'mkdir home; parallel=64'      home/quelt             home/quelt
row both    'many simultaneous starts on distinct paths' ''  'mkdir home; parallel=64'      "$(seq -s '|' -f 'home/u%g' 64)" 'home/u%i'

echo "$passed passed, $failed failed, $skipped skipped"
[[ $failed -eq 0 && $rows -gt 0 ]]
