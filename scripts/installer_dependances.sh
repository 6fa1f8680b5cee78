#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Orvane need. Runs apt-get
# (through sudo when not root) only when a package is missing, and apt-get update only then.
set -euo pipefail

paquets=(
    cmake g++ make
    qtbase5-dev qtbase5-dev-tools libqt5sql5-mysql
    # The vector export (SVG); PDF and print come with qtbase5-dev.
    libqt5svg5-dev
    # The PNG export: ISA-L's igzip deflates the rows, zlib gives the chunks' CRCs.
    libisal-dev zlib1g-dev
    # The toolkit's own texts (file dialog, standard buttons) in French.
    qttranslations5-l10n
    # A face that stands in for "Courier", so the diagram's texts look the same everywhere.
    fonts-liberation
    # The update-check tests start their own database server.
    mariadb-server mariadb-client
    # The real-window test and its screenshot.
    xvfb xauth x11-utils x11-apps openbox libx11-dev
    # The accurate sun (ERFA, found through pkg-config) and the time zones of clock time.
    liberfa-dev pkg-config tzdata
    # The export tests read the PDFs back (pdftotext, pdfinfo, pdfimages).
    poppler-utils
    # The benchmarks, and the matplotlib script they compare with.
    libbenchmark-dev python3-matplotlib
    # The Debian package: CPack's dependency list, its checks.
    dpkg-dev file lintian appstream desktop-file-utils shared-mime-info
)

manquants=()
for paquet in "${paquets[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$paquet" 2>/dev/null | grep -q 'install ok installed'; then
        manquants+=("$paquet")
    fi
done

if [ ${#manquants[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${manquants[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "These packages are missing and neither root nor sudo is available: ${manquants[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${manquants[@]}"
