#!/usr/bin/env bash
# The fault sweep: the installer's test build (TessaronixSetupFaults.exe)
# walked through a whole installation with one guarded call failed, each run
# in a fresh Wine prefix of its own (tests/wine/run-wine-test.sh), each judged
# by fault_run (tests/win32/faults/fault_run.cpp). Three runs go side by side
# (NOVLA_SWEEP_JOBS): a run mostly waits on Wine's start and end, so three
# keep two cores busy where two leave them half idle. The host then checks
# that a run changed nothing in its prefix outside the product's own places
# and wrote nothing into its current folder, and at the end that nothing
# changed outside the prefixes.
#   fault-sweep.sh TREE           a clean run lists the guarded calls; then
#                                 every call failed once (#N), and every name
#                                 failed from its first call on (`make faults`)
#   fault-sweep.sh TREE --subset  every name failed at its first call, once
#                                 and from there on (`make test`)
#   ... --cleanup                 the same for the uninstaller's test build
#                                 (TSXCleanupFaults.exe), judged by
#                                 cleanup_fault_run: first one whole
#                                 installation, whose prefix becomes the
#                                 template every run starts from
# TREE is the Windows tree the Wine tests run (build/win32 or build/win64).
# The sweep stops the Xvfb display it started at its end (`make faults`); a
# display already running belongs to whoever started it (the Wine fixture of
# CTest, for the subsets) and is left to them.
# Each run leaves a folder in TREE/faults (TREE/faults-subset): its output,
# fault log and verdict; results.txt has one line per run. The summary counts
# the runs by class; the exit status is 1 when any run is BAD.
# One Windows version for every run (NOVLA_SWEEP_VERSION, Windows 7), so that
# the clean run's call numbers hold for all of them; Windows 7 is NT-class, so
# the shortcut scope and the all-users folders are in play.
set -uo pipefail
if [ ! -d "${1:-}" ]; then
  echo "usage: fault-sweep.sh TREE [--subset] [--cleanup]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$1" && pwd)
subset='' cleanup=''
for option in "${@:2}"; do
  case "$option" in
    --subset) subset=1 ;;
    --cleanup) cleanup=1 ;;
    *) echo "fault-sweep.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
export harness=$here/../tests/wine root=$tree/wine out=$tree/faults${cleanup:+-cleanup}${subset:+-subset}
export driver=$tree/helpers/${cleanup:+cleanup_}fault_run.exe
export version=${NOVLA_SWEEP_VERSION:-win7}
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
export NOVLA_INSTALLER_FAULTS=$(winpath "$tree/TessaronixSetupFaults.exe")
export NOVLA_PRODUCT_DIR=$(winpath "$tree/product/files")
export NOVLA_CLEANUP_FAULTS=$(winpath "$tree/TSXCleanupFaults.exe")
export NOVLA_INSTALLER=$(winpath "$tree/TessaronixSetup.exe")
export NOVLA_KEEP_PREFIX=1
start=$(date +%s)

own_display=1
[ -f "$root/xvfb.pid" ] && kill -0 "$(cat "$root/xvfb.pid")" 2>/dev/null && own_display=''
template=''
at_exit() {
  [ -z "$template" ] || rm -rf "$root/templates/$template"
  [ -z "$own_display" ] || "$harness/setup-wine.sh" "$root" stop
}
trap at_exit EXIT
"$harness/setup-wine.sh" "$root" || exit 2
rm -rf "$out"
mkdir -p "$out"
touch "$out/.stamp"

# The uninstaller's runs start from a whole installation: made once, in a
# copy of the version's template that then becomes their own template.
clean_class=completed
if [ -n "$cleanup" ]; then
  clean_class=removed
  mkdir -p "$out/install"
  (cd "$out/install" && timeout -k 10 300 "$harness/run-wine-test.sh" "$root" "$version" "$driver" \
    "$(winpath "$out/install")" install) > "$out/install/output" 2>&1
  installed=$(cat "$out/install/prefix" 2>/dev/null)
  if ! grep -q '^RESULT installed' "$out/install/output" || [[ "$installed" != "$root"/runs/?* ]]; then
    echo "the installation the uninstaller's runs start from failed: $out/install" >&2
    exit 1
  fi
  template=$version-installed-$$
  rm -rf "$root/templates/$template"
  mv "$installed" "$root/templates/$template"
  export version=$template NOVLA_CLEANUP_SNAPSHOTS=$(winpath "$out/install")
fi

# What a run may change in drive_c: the program folder (an existing folder of
# the user's, C:\Projects\Tessaronix), the program group, the desktop link
# and the user's file beside it, the uninstaller in the Windows folder, the
# shell extension in the System folder, the installation record, and Wine's
# temporary folders.
export allowed='^\./(Projects/(Tessaronix/.*)?'\
'|ProgramData/Microsoft/Windows/Start Menu/Programs/NOVLA/.*'\
'|users/[^/]+/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/NOVLA/.*'\
'|users/[^/]+/Desktop/(Tessaronix\.lnk|todo\.txt)'\
'|windows/(TSXCleanup\.exe|Tessaronix Install\.log)'\
'|windows/(system32|syswow64)/TSXCtxMenu\.dll'\
'|windows/temp/.*|users/[^/]+/(Temp|AppData/Local/Temp)/.*)$'
# Every entry below a folder: folders end with "/", files carry size and
# modification time.
listing() { (cd "$1" && find . -type d -printf '%p/\n' -o -printf '%p %s %T@\n') | LC_ALL=C sort; }
export -f listing winpath
listing "$root/templates/$version/drive_c" > "$out/template.list"

# One run: ID FAULT once|persist. Prints "ID RESULT <class> ...".
run_one() {
  local id=$1 fault=$2 mode=$3 dir=$out/$1
  mkdir -p "$dir/cwd"
  (cd "$dir/cwd" && timeout -k 10 180 "$harness/run-wine-test.sh" "$root" "$version" "$driver" \
    "$(winpath "$dir")" "$fault" "$mode") > "$dir/output" 2>&1
  local line prefix changed
  line=$(grep -a '^RESULT ' "$dir/output" | tail -n1)
  [ -n "$line" ] || line="RESULT BAD-no-verdict fault=$fault $mode"
  # The prefix the run names is looked at and removed only when it is one of
  # the harness's.
  prefix=$(cat "$dir/prefix" 2>/dev/null)
  if [[ "$prefix" == "$root"/runs/?* && -d "$prefix/drive_c" ]]; then
    listing "$prefix/drive_c" > "$dir/after.list"
    changed=$(diff "$out/template.list" "$dir/after.list" | sed -n 's/^[<>] //p' |
      sed -E 's/ [0-9]+ [0-9.]+$//' | grep -Ev "$allowed")
    if [ -n "$changed" ]; then
      printf '%s\n' "$changed" > "$dir/prefix-changes"
      line="RESULT BAD-prefix-changed ${line#RESULT }"
    fi
    rm -rf "$prefix"
  else
    line="RESULT BAD-prefix-not-checked ${line#RESULT }"
  fi
  if [ -n "$(ls -A "$dir/cwd")" ]; then
    line="RESULT BAD-wrote-current-folder ${line#RESULT }"
  fi
  echo "$id $line"
}
export -f run_one

clean=$(run_one clean none once)
echo "$clean"
case "$clean" in
  *"RESULT $clean_class "*) ;;
  *) echo "the clean run did not complete: $out/clean" >&2; exit 1 ;;
esac
names=$(awk '$1 != "-" { print $2 }' "$out/clean/calls.log" | LC_ALL=C sort -u)
calls=$(grep -c '^[0-9]' "$out/clean/calls.log")
{
  for name in $names; do
    safe=${name//:/_}
    [ -z "$subset" ] || echo "first-$safe $name once"
    echo "always-$safe $name persist"
  done
  [ -n "$subset" ] || seq "$calls" | sed 's/.*/once-& #& once/'
} > "$out/jobs.txt"
xargs -P "${NOVLA_SWEEP_JOBS:-3}" -L1 bash -c 'run_one "$@"' _ < "$out/jobs.txt" | tee "$out/results.txt"

# Nothing outside the prefixes: no file newer than the sweep's start in the
# home folder (tools' caches aside) or in the build tree (the Wine prefixes,
# the runs' folders of this and the other sweeps, and what other tests write
# aside). The two folders themselves are not looked at: a sweep running beside
# this one makes and removes its own folder in the tree.
outside=$(find "$HOME" "$tree" -mindepth 1 \( -path "$HOME/.claude" -o -path "$HOME/.cache" -o -path "$HOME/.debug" \
  -o -path "$HOME/.npm" -o -path "$HOME/.cargo" -o -path "$HOME/.rustup" -o -path "$HOME/.pyenv" \
  -o -path "$tree/wine" -o -path "$tree/faults*" -o -path "$tree/Testing" -o -path "$tree/screens" \) -prune \
  -o -newer "$out/.stamp" -print)
if [ -n "$outside" ]; then
  printf '%s\n' "$outside" > "$out/outside-changes"
  echo "outside RESULT BAD-wrote-outside-prefix (see $out/outside-changes)" | tee -a "$out/results.txt"
fi

runs=$(wc -l < "$out/results.txt")
echo "== $runs runs plus the clean one, $(( $(date +%s) - start )) s; by class:"
awk '{ print $3 }' "$out/results.txt" | sort | uniq -c | sort -rn
if grep -q ' RESULT BAD-' "$out/results.txt"; then
  echo "== BAD runs (folders in $out):"
  grep ' RESULT BAD-' "$out/results.txt"
  exit 1
fi
exit 0
