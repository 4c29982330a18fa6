#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Lumivane needs.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
  libsqlcipher-dev libssl-dev
  libzip-dev libdeflate-dev libpugixml-dev
  libcurl4-openssl-dev libgmime-3.0-dev dovecot-pop3d python3-aiosmtpd
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  python3 python3-openpyxl python3-msoffcrypto-tool python3-olefile python3-uno
  libreoffice-calc-nogui
  xvfb xauth fonts-dejavu-core poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
