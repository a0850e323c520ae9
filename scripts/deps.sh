#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent: it asks apt only for what is missing, and refreshes the package
# lists only when there is something to install.
set -euo pipefail

packages=(
  # toolchain and build speed
  g++ make cmake ninja-build ccache pkg-config
  # pictures: JPEG, PNG with alpha, GIF, TIFF
  libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev
  # glyphs, font matching and the faces that stand in for the usual desktop fonts
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  # region algebra
  libpixman-1-dev
  # on-screen windows
  libx11-dev libxext-dev
  # sound output
  libsdl2-dev
  # movies, compressed capture formats, sound decoding
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  # database engine behind the data sets
  libsqlite3-dev
  # the desktop's opener: web and mail links, documents and folders (xdg-open)
  xdg-utils
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev xvfb ffmpeg
  # fuzzing
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
