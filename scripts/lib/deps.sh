# shellcheck shell=bash
# Debian packages the project needs, and a helper that installs the missing
# ones. Sourced by scripts/run, scripts/test, scripts/package and .ci/run.
# The lists are read by the scripts that source this file:
# shellcheck disable=SC2034

# Compiler, build system and test libraries. Qt 6 Widgets (its CMake files
# need the OpenGL headers, which qt6-base-dev pulls in; libgl-dev is named so
# the list says so), and a sans face of the window's point sizes.
ARRIVALS_BUILD_PACKAGES=(
  build-essential cmake ninja-build
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  fonts-liberation2
)
# What the tests use beyond the build: a virtual X server with the xauth
# that xvfb-run needs for the end-to-end test, synthetic input and window
# lookup, screenshots, the XCB headers of its window-closing helper, the
# locale sources from which the build makes a decimal-comma locale for the
# number conversion tests, the formatter, the shell script checker and git
# that CI checks the sources with, python3 for the test of the guide's
# numbers, scdoc, which checks the man pages' markup, and the accessibility
# bus, its Python bindings and a private D-Bus session through which the
# end-to-end tests find and press the window's controls.
ARRIVALS_TEST_PACKAGES=(
  xvfb xauth xdotool imagemagick libxcb1-dev locales
  clang-format shellcheck git python3 scdoc
  python3-pyatspi at-spi2-core dbus
)
# The second compiler and its sanitizer and libFuzzer runtimes (Debian only
# recommends the runtimes with clang), and python3 for the long-run checker.
ARRIVALS_CLANG_PACKAGES=(clang libclang-rt-14-dev)
ARRIVALS_LONGRUN_PACKAGES=(python3)
# What scripts/figures needs beyond the build: python3 and matplotlib for
# the guide's variance-time plot.
ARRIVALS_FIGURES_PACKAGES=(python3 python3-matplotlib)
# The static checks of scripts/tidy (clang-tidy 14), on top of the clang
# packages above for the compile database they read.
ARRIVALS_TIDY_PACKAGES=(clang-tidy)
# What scripts/package needs beyond the build: scdoc for the man pages,
# rsvg-convert for the icons, dpkg-shlibdeps and file for the dependencies
# that CPack computes.
ARRIVALS_PACKAGE_PACKAGES=(scdoc librsvg2-bin dpkg-dev file)
# What scripts/check-package checks the installed package with: lintian, the
# validators of the desktop entry and the metainfo, ImageMagick for the
# screenshot and groff for the man pages.
ARRIVALS_PACKAGE_CHECK_PACKAGES=(
  lintian desktop-file-utils appstream imagemagick groff-base
)

# The browser edition (scripts/web): Debian's emscripten, with the acorn
# module it runs under Node.js, and cmark-gfm for the course folder's pages. Its tests: headless Chromium driven by
# Selenium through chromium-driver, and Pillow to compare pictures.
ARRIVALS_WEB_PACKAGES=(emscripten node-acorn cmark-gfm)
ARRIVALS_WEB_TEST_PACKAGES=(
  chromium-headless-shell chromium-driver python3-selenium python3-pil
)

# Prints the names among "$@" that are not installed.
arrivals_missing_packages() {
  local pkg status
  for pkg in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ $status == installed ]] || printf '%s\n' "$pkg"
  done
}

# Installs those of "$@" that are missing: one `apt-get update`, then one
# non-interactive install without recommended extras. Uses sudo when not
# root. Set ARRIVALS_NO_INSTALL=1 to only report what is missing.
arrivals_ensure_packages() {
  local missing
  mapfile -t missing < <(arrivals_missing_packages "$@")
  ((${#missing[@]} == 0)) && return 0

  echo "Installing missing Debian packages: ${missing[*]}" >&2
  if [[ ${ARRIVALS_NO_INSTALL:-0} == 1 ]]; then
    echo "ARRIVALS_NO_INSTALL=1: not installing; install them with:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    return 1
  fi

  local -a as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
      echo "Not root and no sudo: as root, run" >&2
      echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
      return 1
    fi
    as_root=(sudo)
  fi

  # A service that a package starts is the system's, not a leftover of the
  # tests that asked for the package (scripts/lib/leftovers.sh).
  local -a env=(env -u ARRIVALS_TEST_RUN DEBIAN_FRONTEND=noninteractive)
  "${as_root[@]}" "${env[@]}" apt-get update -q </dev/null
  "${as_root[@]}" "${env[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}" </dev/null

  mapfile -t missing < <(arrivals_missing_packages "$@")
  if ((${#missing[@]} != 0)); then
    echo "Still missing after apt-get install: ${missing[*]}" >&2
    return 1
  fi
}

# The number of parallel build jobs: every core.
arrivals_jobs() {
  nproc 2>/dev/null || echo 2
}
