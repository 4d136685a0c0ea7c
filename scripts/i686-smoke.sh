#!/usr/bin/env bash
# The i686 smoke: where this machine runs 32-bit x86 code only through an
# emulator, or not at all, the Windows-side suite runs the 64-bit twin; this
# runs the i686 files under 32-bit Wine and qemu-user in addition, the cases
# of tests/wine/i686-smoke.cmake (CTest in TREE/i686-smoke).
#   i686-smoke.sh TREE    TREE: the i686 tree, built with its Wine tests
# Where the machine runs 32-bit code natively it does nothing, unless
# NOVLA_I686_SMOKE=1 (`make i686-smoke` sets it): then it runs the same cases
# under the emulator here too.
#
# qemu-i386 is registered for i386 ELF files in binfmt_misc inside a user and
# mount namespace of this run only, with a binfmt_misc instance of its own
# (Linux 6.7 and later): every other program on the machine runs as before,
# and nothing is left behind. Because binfmt_misc is asked before the
# kernel's own ELF loader, the registration makes 32-bit programs run under
# the emulator inside the namespace even where the kernel could run them.
# Where qemu-user 10 (bookworm-backports, scripts/ensure-deps.sh) or such a
# namespace cannot be had, one line says so and the smoke is skipped.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$1" && pwd)
how=$("$here/wine-tree.sh" --how)
if [ "$how" = native ] && [ "${NOVLA_I686_SMOKE:-}" != 1 ]; then
  exit 0
fi
skip() {
  echo "i686 smoke skipped: $*"
  exit 0
}
# qemu's own binfmt_misc entry for i386 (magic, mask, its -binfmt-P
# interpreter, flags); qemu 7.2, bookworm's own, cannot start Wine.
entry=/usr/share/qemu/binfmt.d/qemu-i386.conf
version=$(qemu-i386 --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\..*/\1/p')
if [ ! -r "$entry" ] || [ "${version:-0}" -lt 10 ]; then
  skip "qemu-user 10 or later is not installed (bookworm-backports; scripts/ensure-deps.sh installs it as root)"
fi
if [ ! -f "$tree/i686-smoke/CTestTestfile.cmake" ]; then
  echo "i686 smoke: $tree has no i686-smoke/ (configure it with NOVLA_WINE_TESTS=ON)" >&2
  exit 1
fi

unshare --user --map-root-user --mount --fork true 2>/dev/null ||
  skip "a user and mount namespace cannot be made here (unshare --user --mount)"

# Inside the namespace: exit code 3 and one line when the registration cannot
# be made there; else CTest's own.
inside=$(cat <<'EOF'
entry=$1 dir=$2 here=$3
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || {
  echo "i686 smoke skipped: binfmt_misc cannot be mounted in a user namespace here (Linux 6.7 or later needed)"
  exit 3
}
cat "$entry" > /proc/sys/fs/binfmt_misc/register 2>/dev/null || {
  echo "i686 smoke skipped: qemu-i386 cannot be registered in the namespace's binfmt_misc"
  exit 3
}
how=$("$here/wine-tree.sh" --how)
case $how in
  emulated*) echo "i686 smoke: 32-bit code $how" ;;
  *) echo "i686 smoke skipped: 32-bit code runs $how with qemu-i386 registered"; exit 3 ;;
esac
# One case at a time: under the emulator, two side by side took no less time
# and made the progress watcher miss a label shown only briefly (the timings:
# docs/measurements.md).
cd "$dir" && ctest --output-on-failure
EOF
)
start=$(date +%s)
unshare --user --map-root-user --mount --fork bash -c "$inside" smoke "$entry" "$tree/i686-smoke" "$here" < /dev/null 2>&1
rc=$?
case $rc in
  3) exit 0 ;;
  0) echo "i686 smoke passed in $(($(date +%s) - start)) s" ;;
  *) echo "i686 smoke failed after $(($(date +%s) - start)) s" ;;
esac
exit $rc
