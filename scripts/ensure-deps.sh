#!/usr/bin/env bash
# Installs the Debian packages a build tree needs, when missing, and for the
# Windows trees generates the locales the code-page tests run the installer
# in (Wine takes the ANSI code page from the locale's name, but makes file
# names outside ASCII only when the host has the locale; without it those
# tests skip). osslsigncode signs `make release` (Debian 12 has 2.5, its
# backports 2.9; both take the signing time as -time). Quiet and quick when
# everything is there. Without root it prints the command to run instead.
#   ensure-deps.sh TREE...   host: the compiler, CMake, GoogleTest and Mock,
#                            Google Benchmark; win32, win64, release: those
#                            and the MinGW-w64 compilers, Wine, Xvfb, fonts,
#                            ImageMagick, the locales, the signing tools;
#                            fuzz: the host's and clang with its runtime
#   ensure-deps.sh [all]     every tree (`make deps`)
set -euo pipefail
host_packages=(cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev)
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb imagemagick fonts-liberation fonts-wine
                  wine wine32:i386 wine64 locales osslsigncode openssl)
fuzz_packages=(clang libclang-rt-14-dev)

[ $# -gt 0 ] || set -- all
packages=("${host_packages[@]}")
windows='' fuzz=''
for tree in "$@"; do
  case "$tree" in
    host) ;;
    win32 | win64 | release) windows=1 ;;
    fuzz) fuzz=1 ;;
    all) windows=1 fuzz=1 ;;
    *) echo "ensure-deps.sh: unknown tree $tree (host, win32, win64, release, fuzz, all)" >&2; exit 2 ;;
  esac
done
[ -z "$fuzz" ] || packages+=("${fuzz_packages[@]}")
[ -z "$windows" ] || packages+=("${windows_packages[@]}")

# The release's name (bookworm on Debian 12), for the suites named below.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # The 32-bit Wine is a package of the i386 architecture.
  add_i386=''
  [[ " ${missing[*]}" != *:i386* ]] || add_i386=1
  cmd="${add_i386:+dpkg --add-architecture i386 && }apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run as root: $cmd" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  [ -z "$add_i386" ] || dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror in the middle of a sync serves a list that does not match its
  # release file: try again a little later. When a list still fails (say the
  # security suite's i386 one), its packages of the other architecture still
  # are candidates, and a library's i386 build cannot match its amd64 one:
  # the install then prefers the release's own suite (-t), whose lists came.
  listed=''
  for try in 1 2 3; do
    if apt-get update -qq; then listed=1; break; fi
    [ "$try" = 3 ] || sleep 30
  done
  target=()
  if [ -z "$listed" ] && [ -n "$codename" ]; then
    echo "Some package lists could not be fetched: installing from $codename's own suite first" >&2
    target=(-t "$codename")
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${target[@]}" "${missing[@]}" >/dev/null
fi
# What follows serves the Windows-side tests only.
[ -n "$windows" ] || exit 0

# Japanese 932, Traditional Chinese 950, Simplified Chinese 936, Korean 949,
# Russian 1251.
locales=(ja_JP.UTF-8 zh_TW.UTF-8 zh_CN.UTF-8 ko_KR.UTF-8 ru_RU.UTF-8)
# `locale -a` spells ja_JP.UTF-8 as ja_JP.utf8.
present=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]')
absent=()
for l in "${locales[@]}"; do
  name=$(echo "${l%%.*}.utf8" | tr '[:upper:]' '[:lower:]')
  grep -qx "$name" <<<"$present" || absent+=("$l")
done
# A locale that cannot be made is no reason to stop: its tests skip and say so.
if [ ${#absent[@]} -gt 0 ] && [ "$(id -u)" -ne 0 ]; then
  echo "Missing locales (their code-page tests will skip): ${absent[*]}" >&2
  echo "Run as root: for l in ${absent[*]}; do echo \"\$l UTF-8\" >> /etc/locale.gen; done; locale-gen --keep-existing" >&2
elif [ ${#absent[@]} -gt 0 ]; then
  echo "Generating locales: ${absent[*]}"
  for l in "${absent[@]}"; do
    # Uncomment the line Debian ships ("# ja_JP.UTF-8 UTF-8"), or add it.
    if grep -Eq "^#? *${l//./\\.} UTF-8\$" /etc/locale.gen; then
      sed -i -E "s/^# *(${l//./\\.} UTF-8)\$/\\1/" /etc/locale.gen
    else
      echo "$l UTF-8" >> /etc/locale.gen
    fi
  done
  # --keep-existing: only the missing ones are built, and the locale archive
  # that running programs use is not removed meanwhile.
  locale-gen --keep-existing >/dev/null || echo "locale-gen failed: the code-page tests will skip" >&2
fi

# The i686 smoke (scripts/i686-smoke.sh) runs where this machine runs
# 32-bit code only through an emulator or not at all, or where
# NOVLA_I686_SMOKE=1 asks for it; it needs qemu-user 10 or later (bookworm's
# own 7.2 cannot start Wine): on Debian 12 from bookworm-backports, whose
# source is added beside the configured bookworm one when missing. Without
# its recommended qemu-user-binfmt, which would register the emulator for
# every program of the machine. Where it cannot be had, the smoke says so
# and is skipped: no failure here.
how=$("$(dirname "$0")/wine-tree.sh" --how)
[ "$how" = native ] && [ "${NOVLA_I686_SMOKE:-}" != 1 ] && exit 0
have=$(dpkg-query -W -f='${db:Status-Status} ${Version}' qemu-user 2>/dev/null || true)
[ "${have%% *}" = installed ] && dpkg --compare-versions "${have#* }" ge 1:10 && exit 0
target=()
[ "$codename" = bookworm ] && target=(-t bookworm-backports)
cmd="DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${target[*]} qemu-user"
if [ "$(id -u)" -ne 0 ]; then
  echo "The i686 smoke needs qemu-user 10; run as root (with bookworm-backports on Debian 12): $cmd" >&2
  exit 0
fi
echo "Installing qemu-user for the i686 smoke"
if [ "$codename" = bookworm ] && ! apt-get indextargets --format '$(RELEASE)' | grep -x bookworm-backports >/dev/null; then
  mirror=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' | awk '$1 == "bookworm" && !m { m = $2 } END { print m }')
  [ -n "$mirror" ] && printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
    "$mirror" /usr/share/keyrings/debian-archive-keyring.gpg > /etc/apt/sources.list.d/bookworm-backports.sources
fi
apt-get update -qq 2>/dev/null || true
eval "$cmd" -qq >/dev/null ||
  echo "qemu-user 10 could not be installed: the i686 smoke will be skipped" >&2
exit 0
