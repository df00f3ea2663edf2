# Shared by scripts/run, scripts/test and scripts/web (sourced, not run): installs the Debian
# packages that are missing, then configures and builds the desktop program into build/ (Release)
# or the web edition into build-web/.
set -euo pipefail

MOKOPERA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MOKOPERA_BUILD="$MOKOPERA_ROOT/build"

MOKOPERA_PACKAGES=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libgl-dev
  fonts-ipafont-gothic fontconfig
  xvfb xauth xdotool imagemagick x11-utils libx11-dev openbox
  pulseaudio
  desktop-file-utils appstream dpkg-dev lintian man-db
  clang libclang-rt-14-dev
)

# The web edition: Emscripten (its optimizer needs acorn), Node.js, the font tools that make the
# font subset, and librsvg's converter for the hosted site's icons.
MOKOPERA_WEB_PACKAGES=(
  cmake ninja-build
  emscripten node-acorn nodejs
  python3-fonttools python3-brotli fonts-ipafont-gothic
  librsvg2-bin
)

# The browser tests run in the three engines, each from Debian's packages: Chromium, Firefox ESR
# (headless, over WebDriver BiDi) and WebKitGTK (WebKitWebDriver, in Xvfb).
MOKOPERA_BROWSER_PACKAGES=(
  chromium firefox-esr webkit2gtk-driver xvfb xauth
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the given packages that are missing.
install_missing_packages() {
  local missing=()
  local package
  for package in "$@"; do
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

# The web edition: build-web/mokopera.html, and the same toolkit-free tests as WebAssembly.
build_web() {
  # Debian's Node.js does not look in /usr/share/nodejs, where Emscripten's optimizer finds acorn.
  export NODE_PATH=/usr/share/nodejs
  emcmake cmake -S "$MOKOPERA_ROOT" -B "$MOKOPERA_ROOT/build-web" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" >/dev/null
  cmake --build "$MOKOPERA_ROOT/build-web"
}

# Playwright for the browser tests, at the versions of the lockfile; it drives the system's
# Chromium and downloads no browser.
install_browser_test_tools() {
  command -v npm >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm
  (cd "$MOKOPERA_ROOT/tests/web" && npm ci --no-audit --no-fund --loglevel=error)
}
