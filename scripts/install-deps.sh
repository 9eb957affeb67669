#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; does nothing when all are there.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgtest-dev libgmock-dev
          libbenchmark-dev fonts-noto-cjk xvfb xauth clang-format
          libxlsxwriter-dev libfreexl-dev libminizip-dev libexpat1-dev
          python3-openpyxl python3-xlwt python3-odf qt6-charts-dev poppler-utils)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${missing[@]}"
fi
