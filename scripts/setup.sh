# Shared by scripts/run, scripts/test and scripts/web (sourced, not run): installs the Debian
# packages that are missing, then configures and builds through the presets of CMakePresets.json:
# the desktop program into build/ (Release), the sanitized and fuzzing builds, or the web edition
# into build-web/.
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
  clang libclang-rt-14-dev clang-format clang-tidy doctest-dev
)

# The web edition: Emscripten (its optimizer needs acorn), Node.js, the font tools that make the
# font subset, and librsvg's converter for the hosted site's icons.
MOKOPERA_WEB_PACKAGES=(
  cmake ninja-build
  emscripten node-acorn nodejs doctest-dev
  python3-fonttools python3-brotli fonts-ipafont-gothic
  librsvg2-bin
)

# The browser tests run in the three engines, each from Debian's packages: Chromium, Firefox ESR
# (headless, over WebDriver BiDi) and WebKitGTK (WebKitWebDriver, in Xvfb); ImageMagick reads their
# screenshots. LibreOffice Calc opens the pool's CSV as a teacher does.
MOKOPERA_BROWSER_PACKAGES=(
  chromium firefox-esr webkit2gtk-driver xvfb xauth imagemagick libreoffice-calc-nogui
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

# Configures and builds one preset (release, asan, fuzz, web).
build_preset() {
  (cd "$MOKOPERA_ROOT" && cmake --preset "$1" && cmake --build --preset "$1")
}

build_release() { build_preset release; }
build_sanitized() { build_preset asan; }  # every test again under ASan and UBSan; any report fails
build_fuzzers() { build_preset fuzz; }    # the fuzz targets, built with clang and libFuzzer
# build-web/mokopera.html, mokopera-teacher.html, the site, and the tests as WebAssembly; first the
# libraries the pages carry inside them, at the versions of web/package-lock.json.
build_web() {
  install_npm
  (cd "$MOKOPERA_ROOT/web" && npm ci --no-audit --no-fund --loglevel=error)
  build_preset web
}

# Runs the tests of one preset; further arguments go to ctest (-L LABEL, -LE LABEL).
test_preset() {
  (cd "$MOKOPERA_ROOT" && ctest --preset "$@")
}

# npm, where Node.js came without it.
install_npm() {
  command -v npm >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm
}

# The browser tests' drivers (Playwright, Puppeteer, Selenium) at the versions of the lockfile;
# they drive the system's browsers and download none.
install_browser_test_tools() {
  install_npm
  (cd "$MOKOPERA_ROOT/scripts/browsers" && npm ci --no-audit --no-fund --loglevel=error)
}
