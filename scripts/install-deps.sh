#!/usr/bin/env bash
# Installs every Debian 12 package Vostrel needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libwxgtk3.2-dev libgtk-3-dev liblua5.1-0-dev libzint-dev libserialport-dev libhidapi-dev
  libcurl4-openssl-dev libzip-dev libssl-dev libcairo2-dev libpango1.0-dev
  zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev lld
  xvfb xauth fonts-dejavu-core fonts-noto-cjk openbox imagemagick
  nlohmann-json3-dev ser2net python3 python3-jsonschema
  dbus at-spi2-core python3-pyatspi
  zbar-tools zxing-cpp-tools poppler-utils python3-docx
  ansible-core ansible-lint openssl
  dpkg-dev lintian desktop-file-utils appstream devscripts gdb bash-completion
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "All build and test packages are installed."
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
