#!/usr/bin/env bash
# Prints where an installation in a Wine prefix put the product: the files
# with their sizes and times, the shortcut files, and every registry value
# the installer writes.   show-install.sh WINEPREFIX
set -uo pipefail
here=$(cd "$(dirname "$0")/../../.." && pwd)
. "$here/tests/wine/wine-env.sh"
export WINEPREFIX=$(cd "$1" && pwd)
query() { "$NOVLA_WINE" reg query "$@" 2>/dev/null | tr -d '\r'; }
unixpath() { "$NOVLA_WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

program=$(query 'HKLM\Software\Novla\Programs' /v Tessaronix | sed -n 's/^ *Tessaronix *REG_SZ *//p')
if [ -z "$program" ]; then
  echo "No installation of Tessaronix is recorded in $WINEPREFIX."
  exit 0
fi
echo "== Files (program folder $program, Windows and System folders)"
folder=$(readlink -f "$(unixpath "$program")")
for f in "$folder"/* "$WINEPREFIX"/drive_c/windows/TSXCleanup.exe \
         "$WINEPREFIX"/drive_c/windows/system32/TSXCtxMenu.dll; do
  [ -f "$f" ] && TZ=UTC ls -l --time-style='+%Y-%m-%d %H:%M UTC' "$f" | sed "s|$WINEPREFIX/||"
done
echo "== Shortcuts"
find "$WINEPREFIX/drive_c" \( -path '*NOVLA/Tessaronix/*.lnk' -o -name 'Tessaronix.lnk' \) -printf '%P\n' | sort
echo "== Registry"
# One Wine start for all the queries.
commands=""
for key in 'HKLM\Software\Novla\Programs' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaronix' \
           'HKCR\CLSID\{5D2E8A41-7C3B-4F19-9A6E-2B8C0D4F1E73}' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\explorer\FindExtensions\Static\Tessaronix' \
           'HKCR\Drive\shell\find' 'HKCR\Directory\shell\find' \
           'HKCR\.n_tsx' 'HKCR\n_tsxFile' 'HKCR\.n_cdb' 'HKCR\n_cdbFile'; do
  commands+="reg query $key /s & "
done
"$NOVLA_WINE" cmd /c "${commands% & }" 2>/dev/null | tr -d '\r' | sed '/^$/d'
exit 0
