#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Sourced by scripts/run and scripts/test; needs root (or sudo) to install.
set -euo pipefail

KD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev
  qt6-base-dev nlohmann-json3-dev libicu-dev
  qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-controls
  qml6-module-qtquick-templates qml6-module-qtquick-window qml6-module-qtqml-workerscript
  libplist-dev libcurl4-openssl-dev libxml2-dev libavahi-client-dev
  libsndfile1-dev libpulse-dev pulseaudio libsystemd-dev
  avahi-daemon avahi-utils dbus iproute2 python3
  clang-14 libclang-rt-14-dev
  libasio-dev libturbojpeg0-dev libyuv-dev libqrencode-dev
  libxcb1-dev libxcb-shm0-dev libxcb-damage0-dev libxcb-xfixes0-dev xvfb
  chromium
)

kd_missing_packages() {
  local missing=()
  for p in "${KD_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

kd_apt() {
  # Another install may hold the dpkg lock; wait for it (bounded) instead of failing.
  DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get -o DPkg::Lock::Timeout=300 "$@"
}

kd_install_deps() {
  local missing
  missing=$(kd_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then SUDO=sudo; else
      echo "These packages are missing and installing them needs root: $missing" >&2
      return 1
    fi
  fi
  echo "Installing: $missing"
  kd_apt update -qq
  # The tests run their own avahi-daemon in a private network namespace;
  # the package must not start the stock one, which would announce this
  # machine on its real network. Where nothing forbids service starts yet,
  # forbid them for the length of the install.
  local policy=/usr/sbin/policy-rc.d own_policy=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | ${SUDO:-} tee "$policy" >/dev/null
    ${SUDO:-} chmod +x "$policy"
    own_policy=1
  fi
  local status=0
  # shellcheck disable=SC2086
  kd_apt install -y -qq --no-install-recommends $missing || status=$?
  [ -n "$own_policy" ] && ${SUDO:-} rm -f "$policy"
  return $status
}
