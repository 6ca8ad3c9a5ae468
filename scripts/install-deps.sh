#!/usr/bin/env bash
# Installs every Debian package Quenzo needs to build, run and test.
# Idempotent: packages already present are left alone and apt is not touched.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-image-formats-plugins
  libsqlcipher-dev
  unixodbc unixodbc-dev odbc-mariadb mariadb-server mariadb-client
  libcurl4-openssl-dev libical-dev python3-aiosmtpd
  xvfb xauth fonts-dejavu-core poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installation des paquets : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
