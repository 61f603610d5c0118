#!/usr/bin/env bash
# Draws the client's artwork (icons and skin images) with ImageMagick and writes
# the results under resources/. The build uses the committed files; run this
# only to change the pictures. Needs: imagemagick fonts-wqy-zenhei.
set -euo pipefail
cd "$(dirname "$0")/.."

FONT=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
out=resources/art
mkdir -p "$out" resources/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Palette: night blue panels, gold trim.
NAVY_DARK='#0b1a33'
NAVY='#16325c'
NAVY_LIGHT='#2a5597'
GOLD='#e8c35a'
GOLD_DARK='#a87a22'
GOLD_LIGHT='#fbe7a6'

# The emblem: a gold-rimmed night-blue shield with a gold "M" and a star.
emblem() { # size file
    local s=$1 f=$2
    convert -size 256x256 radial-gradient:"$NAVY_LIGHT"-"$NAVY_DARK" -alpha set \
        \( -size 256x256 xc:none -fill white -draw "roundrectangle 10,10 245,245 48,48" \) \
        -compose DstIn -composite \
        -fill none -stroke "$GOLD_DARK" -strokewidth 14 -draw "roundrectangle 14,14 241,241 44,44" \
        -stroke "$GOLD" -strokewidth 6 -draw "roundrectangle 14,14 241,241 44,44" \
        -stroke none -fill "$GOLD_LIGHT" -draw "polygon 128,36 137,58 160,58 142,72 149,94 128,80 107,94 114,72 96,58 119,58" \
        -font "$FONT" -pointsize 150 -fill "$GOLD" -stroke "$GOLD_DARK" -strokewidth 3 \
        -gravity center -annotate +0+32 "M" \
        "$work/emblem256.png"
    convert "$work/emblem256.png" -resize "${s}x${s}" -strip "$f"
}

icon_group() { # file sizes...
    local file=$1; shift
    local parts=()
    for s in "$@"; do
        emblem "$s" "$work/icon$s.png"
        # Sizes of 256 are stored as PNGs in the file: 8 bits a channel.
        [ "$s" -lt 256 ] || convert "$work/icon$s.png" -depth 8 "$work/icon$s.png"
        parts+=("$work/icon$s.png")
    done
    convert "${parts[@]}" "$file"
}

# Client icon group 128: every size a window, the task bar, Alt+Tab or the tray
# asks for at 100 %, 125 %, 150 % and 200 % (16, 20, 24, 32, 40, 48, 64), each
# drawn from the emblem at that size, and 256 (stored as a PNG) for Explorer.
icon_group resources/icons/vorn.ico 256 64 48 40 32 24 20 16

# The remover's icon group 107: the emblem with a red removal badge.
remover_icon() { # size file
    local s=$1 f=$2
    emblem 256 "$work/remover-base.png"
    convert "$work/remover-base.png" \
        -fill '#b3261e' -stroke '#fbe7a6' -strokewidth 8 -draw "circle 188,188 188,246" \
        -stroke none -fill white -draw "roundrectangle 152,180 224,196 6,6" \
        -resize "${s}x${s}" -depth 8 -strip "$f"
}
parts=()
for s in 16 32 48 256; do
    remover_icon "$s" "$work/remover$s.png"
    parts+=("$work/remover$s.png")
done
convert "${parts[@]}" resources/icons/uninstall.ico

if [ -f tools/make-skin.sh ]; then
    # The skin at 100 %, then at 150 % and 200 %, each drawn at its own scale.
    for SCALE in 100 150 200; do
        # shellcheck source=/dev/null
        . tools/make-skin.sh
    done
fi
echo "artwork written"
