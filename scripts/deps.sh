#!/usr/bin/env bash
# Installs the Debian packages the build, tests and benchmarks need.
# Idempotent and silent when everything is present; installs only when run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra
  libplist-dev libsndfile1-dev libpixman-1-dev
  libx11-dev xvfb xfonts-base xdotool x11-utils xauth
  libxext-dev
  lv2-dev lilv-utils sordi jalv jackd2 mda-lv2 calf-plugins
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "deps: missing packages (run as root to install): ${missing[*]}" >&2
  exit 1
fi
echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
