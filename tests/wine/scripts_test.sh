#!/usr/bin/env bash
# The Wine harness's scripts, a row each: what scripts/wine-tree.sh answers
# under binfmt_misc registrations made in a user and mount namespace of this
# test only (the machine's own registrations are never touched), and
# run-wine-test.sh refusing to run without a prefix of its own. Rows that
# need what this machine lacks say so and are left out.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
probe=$here/../../scripts/wine-tree.sh
failures=0
check() {  # row, expected, got
  if [ "$2" = "$3" ]; then
    echo "ok    $1"
  else
    echo "FAIL  $1: expected \"$2\", got \"$3\""
    failures=$((failures + 1))
  fi
}

# wine-tree.sh's two answers, "--how / tree", with ENTRY (none when empty)
# registered in a binfmt_misc instance of a namespace of its own.
answers() {
  unshare --user --map-root-user --mount --fork bash -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 1
    [ -z "$1" ] || printf "%s" "$1" > /proc/sys/fs/binfmt_misc/register || exit 1
    echo "$("$2" --how) / $("$2")"' answers "$1" "$probe" 2>/dev/null
}
# i386 ELF executables, matched as qemu's own entry matches them.
i386=':\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386+=':\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
qemu=/usr/share/qemu/binfmt.d/qemu-i386.conf
if [ -z "$(answers "")" ]; then
  echo "skip  wine-tree.sh rows: no binfmt_misc of a user namespace's own here"
else
  # An interpreter that runs but never starts the program: no 32-bit code.
  check "wine-tree.sh, i386 handed to /bin/false" "none / win64" "$(answers ":false:M:$i386:/bin/false:")"
  if [ -r "$qemu" ]; then
    interpreter=$(readlink -f "$(cut -d: -f7 "$qemu")")
    check "wine-tree.sh, qemu-i386 registered" "emulated by $interpreter / win64" "$(answers "$(cat "$qemu")")"
  else
    echo "skip  wine-tree.sh, qemu-i386 registered: qemu-user is not installed"
  fi
fi

# run-wine-test.sh where the runs folder cannot be made: exit code 2, and
# the template copied nowhere (before, it went to the file system's root).
root=$(mktemp -d)
marker=novla-scripts-test-$$
mkdir -p "$root/templates/win98" && : > "$root/templates/win98/$marker" && : > "$root/runs"
"$here/run-wine-test.sh" "$root" win98 /bin/true >/dev/null 2>&1
check "run-wine-test.sh without a runs folder: exit code" 2 "$?"
check "run-wine-test.sh without a runs folder: nothing copied to /" absent "$([ -e "/$marker" ] && echo present || echo absent)"
rm -f "/$marker"
rm -rf "$root"

[ "$failures" -eq 0 ]
