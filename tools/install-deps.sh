#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, benchmark,
# fuzz and run. Idempotent; this is the only place that lists packages.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config git lld ccache \
  clang libclang-rt-14-dev \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libpugixml-dev zlib1g-dev \
  libglib2.0-dev gsettings-desktop-schemas libxi-dev libx11-dev libxcb1-dev nlohmann-json3-dev dbus-daemon \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-wayland qt6-translations-l10n \
  libgl-dev libxkbcommon-dev \
  xvfb xauth xdotool openbox trayer fonts-noto-cjk fonts-dejavu-core imagemagick \
  desktop-file-utils appstream dpkg-dev file lintian \
  gcovr cloc
