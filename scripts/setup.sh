# Shared by scripts/run and scripts/test (sourced, not run): installs the Debian packages that
# are missing, then configures and builds the program into build/ (Release).
set -euo pipefail

MOKOPERA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MOKOPERA_BUILD="$MOKOPERA_ROOT/build"

MOKOPERA_PACKAGES=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libgl-dev
  fonts-ipafont-gothic fontconfig
  libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils libx11-dev openbox
  pulseaudio
  desktop-file-utils appstream dpkg-dev
  clang libclang-rt-14-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing_packages() {
  local missing=()
  local package
  for package in "${MOKOPERA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build_release() {
  cmake -S "$MOKOPERA_ROOT" -B "$MOKOPERA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$MOKOPERA_BUILD"
}

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
build_sanitized() {
  cmake -S "$MOKOPERA_ROOT" -B "$MOKOPERA_ROOT/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMOKOPERA_SANITIZE=ON >/dev/null
  cmake --build "$MOKOPERA_ROOT/build-asan"
}

# The fuzz targets, built with clang and libFuzzer.
build_fuzzers() {
  CC=clang CXX=clang++ cmake -S "$MOKOPERA_ROOT" -B "$MOKOPERA_ROOT/build-fuzz" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOKOPERA_FUZZ=ON >/dev/null
  cmake --build "$MOKOPERA_ROOT/build-fuzz"
}
