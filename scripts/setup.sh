# Shared by scripts/run, scripts/test and scripts/web (sourced, not run): installs the Debian
# packages that are missing, then configures and builds through the presets of CMakePresets.json:
# the desktop program into build/ (Release), the sanitized and fuzzing builds, or the web edition
# into build-web/.
set -euo pipefail

MOKOPERA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MOKOPERA_BUILD="$MOKOPERA_ROOT/build"

# What the program needs to be built and run (the release build holds its own tests too, hence
# doctest). Each list names packages both Debian 12 (bookworm) and 13 (trixie) have, under one name.
MOKOPERA_PACKAGES=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6
  libgl-dev
  fonts-ipafont-gothic fontconfig
  doctest-dev
)

# What the tests need besides: an X server, a window manager and the tools that drive and look at
# the desktop program, a sound server, the package's checks and the manual pages, clang with its
# sanitizer and fuzzer runtime and clang-tidy (the release's own), and LibreOffice Calc to open the
# pool's CSV as a teacher does. The source's formatter comes pinned from npm (scripts/browsers).
MOKOPERA_TEST_PACKAGES=(
  xvfb xauth xdotool imagemagick x11-utils libx11-dev openbox
  pulseaudio
  desktop-file-utils appstream dpkg-dev lintian man-db
  clang libclang-rt-dev clang-tidy
  libreoffice-calc-nogui
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
# screenshots.
MOKOPERA_BROWSER_PACKAGES=(
  chromium firefox-esr webkit2gtk-driver xvfb xauth imagemagick
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt, waiting its turn where another install or unattended-upgrades holds the package manager
# (as often on a machine just started), for up to five minutes.
apt_get() {
  if pidof -q apt apt-get dpkg unattended-upgrade aptitude 2>/dev/null; then
    echo "The package manager is busy (another install, or unattended upgrades): waiting for it, up to 5 minutes…"
  fi
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 "$@"
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
    if ! apt_get update -qq || ! apt_get install -y -qq --no-install-recommends "${missing[@]}"; then
      echo "Could not install ${missing[*]}: the package manager stayed busy, or a package could not be had" \
           "(see apt's words above). Run this command again once it is free." >&2
      exit 1
    fi
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

# npm, where Node.js came without it; and the Node.js the web edition needs: Debian's own, 18 or
# later (Debian 12 has 18, Debian 13 has 20).
install_npm() {
  command -v npm >/dev/null || install_missing_packages npm
  local major
  major=$(node -p 'process.versions.node.split(".")[0]')
  echo "Node.js $(node --version) ($(command -v node)); npm $(npm --version)"
  if [ "$major" -lt 18 ]; then
    echo "The web edition needs Node.js 18 or later; this is $(node --version)." >&2
    exit 1
  fi
}

# The browser tests' drivers (Playwright, Puppeteer, Selenium) at the versions of the lockfile;
# they drive the system's browsers and download none.
install_browser_test_tools() {
  install_npm
  (cd "$MOKOPERA_ROOT/scripts/browsers" && npm ci --no-audit --no-fund --loglevel=error)
}
