#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing,
# and generates the locales the code-page tests run the installer in (Wine
# takes the ANSI code page from the locale's name, but makes file names
# outside ASCII only when the host has the locale; without it those tests
# skip). osslsigncode signs `make release` (Debian 12 has 2.5, its
# backports 2.9; both take the signing time as -time). Quiet and quick when
# everything is there. Without root it prints the command to run instead.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb imagemagick fonts-liberation fonts-wine wine wine32:i386 wine64
          locales osslsigncode openssl)
# Japanese 932, Traditional Chinese 950, Simplified Chinese 936, Korean 949,
# Russian 1251.
locales=(ja_JP.UTF-8 zh_TW.UTF-8 zh_CN.UTF-8 ko_KR.UTF-8 ru_RU.UTF-8)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  cmd="dpkg --add-architecture i386 && apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run as root: $cmd" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# `locale -a` spells ja_JP.UTF-8 as ja_JP.utf8.
present=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]')
absent=()
for l in "${locales[@]}"; do
  name=$(echo "${l%%.*}.utf8" | tr '[:upper:]' '[:lower:]')
  grep -qx "$name" <<<"$present" || absent+=("$l")
done
[ ${#absent[@]} -eq 0 ] && exit 0
# A locale that cannot be made is no reason to stop: its tests skip and say so.
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing locales (their code-page tests will skip): ${absent[*]}" >&2
  echo "Run as root: for l in ${absent[*]}; do echo \"\$l UTF-8\" >> /etc/locale.gen; done; locale-gen --keep-existing" >&2
  exit 0
fi
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
