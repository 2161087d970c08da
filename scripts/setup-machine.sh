#!/usr/bin/env bash
# Installs what Twinlens needs to build and test on Debian 12 (run as root).
# Fast when everything is already there: it asks apt only for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build clang libclang-rt-14-dev googletest libgtest-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine64 xvfb fonts-wqy-microhei locales imagemagick x11-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The window's texts are Chinese; Wine renders them only under a Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
