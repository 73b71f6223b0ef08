#!/usr/bin/env bash
# Installs what the build, the tests and the tools need on Debian 12 (as root, or through sudo).
# Quick when everything is already there: only missing packages reach apt.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  # qt6-svg-dev brings libqt6svg6, which holds Qt's SVG icon engine and image format plugins
  # (libqsvgicon.so, libqsvg.so): without them the window's own SVG icons draw as nothing.
  qt6-base-dev qt6-svg-dev
  # Qt's own Japanese texts (qtbase_ja.qm) for the buttons of message boxes and the standard dialogs.
  qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  # QR Code and Data Matrix are built by libzint; the tests read barcodes back with zbarimg and
  # dmtxread.
  libzint-dev
  zbar-tools dmtx-utils poppler-utils xvfb
  # The desktop's side of the ".map" association, asked by the tests of fanbor: the MIME database
  # and its query tools (xdg-mime asks mimetype from libfile-mimeinfo-perl outside a known desktop),
  # the desktop entry checker, and dpkg-shlibdeps for the package's dependencies.
  shared-mime-info xdg-utils libfile-mimeinfo-perl desktop-file-utils dpkg-dev
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  # The documentation's checks: man pages through mandoc's linter (man-db's man --warnings is already
  # there), the package through lintian, the layout syntax definition through KDE's highlighter.
  man-db mandoc lintian libkf5syntaxhighlighting-tools
  # Printing to CUPS queues (libcups), and the private print server the printing tests start: its
  # filters, a PDF printer for standard sizes, the CUPS-PDF driver for custom ones, and Ghostscript
  # under both.
  libcups2-dev cups-daemon cups-client cups-filters printer-driver-cups-pdf ghostscript
)
missing=()
for p in "${packages[@]}"; do
  if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi
