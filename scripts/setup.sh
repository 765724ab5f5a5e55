#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the demo need and
# this machine does not have yet. Safe to run any number of times.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config make
  libspdlog-dev libfmt-dev libhowardhinnant-date-dev libyaml-cpp-dev
  libtinyxml2-dev libcfitsio-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  iproute2 util-linux procps
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
