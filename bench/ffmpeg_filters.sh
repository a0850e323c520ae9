#!/usr/bin/env bash
# For comparison with bench_effects: the ffmpeg tool's filters nearest to the pixel effects, on
# the same frame sizes, on one core with one filter thread. Frames are generated in our pixel
# layout (bgr24); a run without a filter gives the cost of generating them, which is taken off.
# Filters that work in YUV (eq, hue, gblur, unsharp) have FFmpeg's own format conversion
# included; the second baseline shows what that conversion alone costs.
#
#   bench/ffmpeg_filters.sh [frames]
set -euo pipefail
frames=${1:-300}
command -v ffmpeg >/dev/null || { echo "ffmpeg not found"; exit 1; }
pin=()
command -v taskset >/dev/null && pin=(taskset -c 0)

emboss='-2 -1 0 -1 1 1 0 1 2'
filters=(
  "baseline (no filter)|null"
  "baseline (to yuv420p)|format=yuv420p"
  "eq brightness (lightness)|eq=brightness=0.2"
  "eq contrast (contrast)|eq=contrast=1.3"
  "eq saturation (saturation)|eq=saturation=2"
  "hue saturation (saturation)|hue=s=2"
  "negate (invert)|negate"
  "gblur sigma 2 (gaussian blur)|gblur=sigma=2"
  "unsharp 3x3 (sharpen)|unsharp=3:3:1.0:3:3:0"
  "convolution emboss (emboss)|convolution=${emboss}:${emboss}:${emboss}:${emboss}"
  "hflip (horizontal flip)|hflip"
  "vflip (vertical flip)|vflip"
  "rotate 10 degrees (rotation)|rotate=10*PI/180"
  "scale 125% bilinear (stretch)|scale=iw*5/4:ih*5/4:flags=bilinear"
)

seconds() {  # filter, size -> real seconds for all frames
  "${pin[@]}" ffmpeg -hide_banner -nostdin -benchmark -threads 1 -filter_threads 1 -filter_complex_threads 1 \
    -f lavfi -i "testsrc2=s=$2:r=30,format=bgr24" -frames:v "$frames" -vf "$1" -f null - 2>&1 |
    sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | tail -1
}

for size in 640x480 1280x720 1920x1080; do
  printf '\n%-36s %12s %16s\n' "ffmpeg, $size, $frames frames" "ms/frame" "minus baseline"
  base=""
  for entry in "${filters[@]}"; do
    label=${entry%%|*}
    filter=${entry#*|}
    total=$(seconds "$filter" "$size")
    ms=$(awk -v t="$total" -v n="$frames" 'BEGIN { printf "%.3f", 1000 * t / n }')
    [ -z "$base" ] && base=$ms
    printf '%-36s %12s %16s\n' "$label" "$ms" "$(awk -v a="$ms" -v b="$base" 'BEGIN { printf "%.3f", a - b }')"
  done
done
