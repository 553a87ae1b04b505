#!/usr/bin/env bash
# Installs the Debian packages one kind of command needs:
#   scripts/deps.sh build   building and running (make demo, make install)
#   scripts/deps.sh test    the test suite with its hosts and peers (make test; the default)
#   scripts/deps.sh bench   the benchmarks and their peers (make bench)
# Idempotent and silent when everything is present; installs only when run as root.
set -euo pipefail

profile=${1:-test}

build=(
  build-essential cmake ninja-build pkg-config
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra
  libplist-dev libsndfile1-dev
  libx11-dev libxext-dev libxft-dev xfonts-base
  lv2-dev
)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  xvfb xauth xdotool x11-utils
  lilv-utils sordi jalv jackd2
  clang libclang-rt-14-dev clang-format
  ardour qtractor
)
bench=(
  libbenchmark-dev libpixman-1-dev
  xvfb xauth
  lilv-utils mda-lv2 calf-plugins
)

case "$profile" in
  build) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" "${test[@]}") ;;
  bench) packages=("${build[@]}" "${bench[@]}") ;;
  *)
    echo "usage: scripts/deps.sh [build|test|bench]" >&2
    exit 2
    ;;
esac

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
