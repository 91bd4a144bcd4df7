#!/usr/bin/env bash
# Installs the Debian packages that Mavrolin needs to build, run and test.
# Idempotent and quiet when everything is already there.
#   install-deps.sh          build, run and package
#   install-deps.sh --test   also the test tools (fuzzer runtime, X server, accessibility,
#                            validators of the installed files, lintian, manual pages)
set -euo pipefail

# qt6-base-dev brings Qt Print Support too (QPrinter, the print dialog).
build_pkgs=(
  build-essential cmake ninja-build pkg-config
  libicu-dev
  libcsv-dev libxlsxwriter-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-charts-dev qt6-qpa-plugins qt6-translations-l10n
  libgl-dev libglx-dev libvulkan-dev
  fonts-dejavu-core
  librsvg2-bin dpkg-dev
)
test_pkgs=(
  python3
  clang libclang-rt-14-dev
  xvfb xauth x11-utils x11-xkb-utils xdotool
  dbus dbus-x11 at-spi2-core python3-pyatspi
  imagemagick poppler-utils
  desktop-file-utils appstream shared-mime-info lintian man-db groff-base
)
extra_no_recommends=(openbox)

want=("${build_pkgs[@]}")
want_nr=()
if [[ "${1:-}" == "--test" ]]; then
  want+=("${test_pkgs[@]}")
  want_nr+=("${extra_no_recommends[@]}")
fi

missing() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$p"
    fi
  done
}

mapfile -t need < <(missing "${want[@]}")
mapfile -t need_nr < <(missing "${want_nr[@]}")
if (( ${#need[@]} == 0 && ${#need_nr[@]} == 0 )); then
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${need[*]} ${need_nr[*]}" >&2
$SUDO apt-get update -qq >/dev/null
if (( ${#need[@]} )); then
  $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi
if (( ${#need_nr[@]} )); then
  $SUDO apt-get install -y -qq --no-install-recommends "${need_nr[@]}" >/dev/null
fi
