#!/usr/bin/env bash
# Puts a fresh master database into the data folder when none is there yet.
# The data folder is the common program files folder joined with "Lumidesk"; the common
# program files folder is $LUMIVANE_COMMON_FILES, else $XDG_DATA_HOME, else ~/.local/share.
set -euo pipefail
fresh="$1"
common="${LUMIVANE_COMMON_FILES:-${XDG_DATA_HOME:-$HOME/.local/share}}"
data="$common/Lumidesk"
target="$data/lumimaster.mdb"
[ -e "$target" ] && exit 0
mkdir -p "$data"
tmp="$(mktemp "$data/.lumimaster.XXXXXX")"
cp "$fresh" "$tmp"
sync "$tmp" 2>/dev/null || true
mv -n "$tmp" "$target"
rm -f "$tmp"
echo "Installed a new master database: $target"
