#!/usr/bin/env bash
# Installs the Debian 12 packages the utility and its tests need, skipping those already present.
set -euo pipefail
packages=(g++ cmake make pkg-config libsqlite3-dev sqlite3 libsodium-dev libshp-dev libcli11-dev qt6-base-dev
          libgtest-dev libgmock-dev libbenchmark-dev python3 python3-dbfread xvfb xauth
          dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
