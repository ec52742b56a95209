#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Safe to run again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  python3 python3-pyftpdlib vsftpd dante-server curl libssl-dev openssl libsodium23 libcap2
  xvfb xauth x11-utils imagemagick fonts-liberation
  librsvg2-bin desktop-file-utils appstream dpkg-dev file man-db
  apache2 libapache2-mod-php msmtp python3-aiosmtpd
  libssh-dev openssh-server openssh-client
  chromium poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# pure-ftpd conflicts with vsftpd as a package (both are an ftp-server), so the FTPS tests
# run its programs from an unpacked copy instead of installing it.
pure_dir=/opt/tessel-test-tools/pure-ftpd
if [ ! -x "$pure_dir/usr/sbin/pure-ftpd" ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  deb_dir=$(mktemp -d)
  chmod 777 "$deb_dir"
  (cd "$deb_dir" && { apt-get download pure-ftpd 2>/dev/null ||
    { "${sudo_cmd[@]}" apt-get update -qq && apt-get download pure-ftpd; }; })
  "${sudo_cmd[@]}" mkdir -p "$pure_dir"
  "${sudo_cmd[@]}" dpkg-deb -x "$deb_dir"/pure-ftpd_*.deb "$pure_dir"
  rm -rf "$deb_dir"
fi
