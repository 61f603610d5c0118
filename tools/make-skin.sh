# Skin images of the client, sourced by make-artwork.sh (which sets FONT, the
# palette, $work, emblem and SCALE) once for each display scale. Writes
# resources/skin/<id>.png at 100 % (96 DPI) and resources/skin/<SCALE>/<id>.png
# at 150 % and 200 %: RGBA where the picture has transparency, opaque RGB where
# it must not. Every set is drawn from the shapes and fonts at its own scale:
# every length below is the one at 100 %, and passes through px, num or mvg on
# its way to ImageMagick, which leave it as it is at 100 %.
# Needs: imagemagick fonts-wqy-zenhei.

SCALE=${SCALE:-100}
if [ "$SCALE" = 100 ]; then
    skin=resources/skin
else
    skin=resources/skin/$SCALE
fi
mkdir -p "$skin"

# px V: the whole-pixel length or position V at SCALE, rounded as the windows'
# MulDiv(V, dpi, 96) rounds (half away from zero): 25 -> 38 at 150 %.
px() {
    if (($1 < 0)); then
        echo $((-((-$1 * SCALE + 50) / 100)))
    else
        echo $((($1 * SCALE + 50) / 100))
    fi
}

# num EXPR: EXPR as a decimal, k being SCALE / 100: stroke widths, point sizes,
# blur radii and positions inside an oversampled drawing.
num() {
    awk -v S="$SCALE" "BEGIN { k = S / 100; v = ($1);
        if (v == int(v)) { printf \"%d\", v; exit }
        s = sprintf(\"%.3f\", v); sub(/0+\$/, \"\", s); printf \"%s\", s }"
}

# mvg KX KY MODE DRAW: the drawing primitives DRAW with every x multiplied by
# KX and every y by KY (each "n/d"); the angles of arcs and ellipses stay.
# MODE i: whole pixels rounded as px rounds, for pictures drawn at their final
# size; the far corner of a rectangle names its last pixel, so it becomes the
# last pixel of the scaled span (377..976 -> 566..1465 at 150 %). MODE f:
# decimals, for drawings made larger than the image and reduced.
mvg() {
    awk -v kx="$1" -v ky="$2" -v mode="$3" -v text="$4" '
    function scale(v, k, last,   n, d, r) {
        split(k, f, "/"); n = f[1]; d = f[2]
        if (mode == "f") {
            r = v * n / d
            if (r == int(r)) return sprintf("%d", r)
            r = sprintf("%.3f", r); sub(/0+$/, "", r); return r
        }
        if (last) return scale(v + 1, k, 0) - 1
        return v < 0 ? -int((-v * n + d / 2) / d) : int((v * n + d / 2) / d)
    }
    BEGIN {
        split(kx, a, "/"); split(ky, b, "/")
        if (a[1] == a[2] && b[1] == b[2]) { printf "%s", text; exit }
        count = split(text, token, /[ \t\n]+/)
        out = ""
        for (i = 1; i <= count; ++i) {
            t = token[i]
            if (t == "") continue
            if (t ~ /^[a-z]+$/) { primitive = t; pair = 0 }
            else if (split(t, xy, ",") == 2) {
                ++pair
                if (!((primitive == "ellipse" || primitive == "arc") && pair == 3)) {
                    last = pair == 2 && (primitive == "rectangle" || primitive == "roundrectangle")
                    t = scale(xy[1], kx, last) "," scale(xy[2], ky, last)
                }
            }
            out = out (out == "" ? "" : " ") t
        }
        printf "%s", out
    }'
}
# The same at SCALE, in whole pixels.
mvgi() { mvg "$SCALE/100" "$SCALE/100" i "$1"; }

# hline X0 X1 Y: one-pixel lines from x X0 to X1 (final pixels) over the rows
# that row Y at 100 % becomes, for a fill-drawn line one pixel thick at 100 %.
hline() {
    local y draw=""
    for ((y = $(px "$3"); y < $(px $(($3 + 1))); ++y)); do
        draw+="${draw:+ }line $1,$y $2,$y"
    done
    echo "$draw"
}

# Reproducible files: no time stamps, no text chunks.
PNG_CLEAN=(-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt)
save_rgba() { convert "$1" "${PNG_CLEAN[@]}" "PNG32:$skin/$2.png"; }
save_rgb() { convert "$1" -background "$3" -alpha remove -alpha off "${PNG_CLEAN[@]}" "PNG24:$skin/$2.png"; }

BAND='#0f2445'      # launcher header band, behind its picture buttons
BODY='#132b50'      # close-confirmation panel body, behind its buttons
INK='#0b1a33'       # dark text on gold
TEXT_LIGHT='#f4ead0'
RED='#c42b1c'

# A gold-framed pill button: size fill-top fill-bottom border text text-colour
# background file [point size]. Drawn four times as large as the image and
# reduced: one pixel of the image at 100 % is 4 * k pixels of the drawing.
pill() {
    local w h top=$3 bottom=$4 border=$5 text=$6 ink=$7 bg=$8 file=$9 pt=${10:-13}
    w=$(px "$1")
    h=$(px "$2")
    local W=$((w * 4)) H=$((h * 4)) s r
    s=$(num "4*k")
    r=$(num "20*k")
    convert -size "${W}x${H}" "xc:$bg" \
        \( -size "${W}x${H}" gradient:"$top"-"$bottom" -alpha set \
           \( -size "${W}x${H}" xc:none -fill white \
              -draw "roundrectangle $(num "2*k"),$(num "2*k") $(num "$W - 1 - 2*k"),$(num "$H - 1 - 2*k") $r,$r" \) \
           -compose DstIn -composite \) -compose Over -composite \
        -fill none -stroke "$border" -strokewidth "$(num "8*k")" \
        -draw "roundrectangle $s,$s $(num "$W - 1 - 4*k"),$(num "$H - 1 - 4*k") $r,$r" \
        -stroke 'rgba(255,255,255,0.25)' -strokewidth "$s" \
        -draw "line $(num "24*k"),$(num "12*k") $(num "$W - 24*k"),$(num "12*k")" \
        -resize "${w}x${h}!" \
        -font "$FONT" -pointsize "$(num "$pt*k")" -fill "$ink" -stroke none -gravity center -annotate +0+0 "$text" \
        "$work/$file.png"
}

# ---- Launcher picture buttons (84 x 24, opaque, on the header band) --------
launcher_button() { # id-normal id-hover caption
    pill 84 24 '#2a5597' '#16325c' "$GOLD_DARK" "$3" "$GOLD_LIGHT" "$BAND" "b$1"
    save_rgb "$work/b$1.png" "$1" "$BAND"
    pill 84 24 "$GOLD_LIGHT" "$GOLD" "$GOLD_LIGHT" "$3" "$INK" "$BAND" "b$2"
    save_rgb "$work/b$2.png" "$2" "$BAND"
}
launcher_button 131 155 官方网站
launcher_button 132 151 游戏论坛
launcher_button 133 152 客服中心
launcher_button 134 156 充值中心

# ---- Launcher close (28 x 28) and minimise (23 x 23), opaque ----------------
# Drawn eight times as large as the image and reduced.
round_glyph() { # size ring fill glyph-colour glyph(x|-) file
    local size S ring=$2 fill=$3 ink=$4 glyph=$5 file=$6
    size=$(px "$1")
    S=$((size * 8))
    local c=$((S / 2)) g=$((S / 5))
    local draw
    if [ "$glyph" = x ]; then
        draw="line $((c - g)),$((c - g)) $((c + g)),$((c + g)) line $((c + g)),$((c - g)) $((c - g)),$((c + g))"
    else
        draw="line $((c - g)),$c $((c + g)),$c"
    fi
    convert -size "${S}x${S}" "xc:$BAND" \
        -fill "$fill" -stroke "$ring" -strokewidth "$(num "10*k")" -draw "circle $c,$c $c,$(num "6*k")" \
        -stroke "$ink" -strokewidth $((S / 12)) -draw "$draw" \
        -resize "${size}x${size}" "$work/$file.png"
    save_rgb "$work/$file.png" "$file" "$BAND"
}
round_glyph 28 "$GOLD" "$NAVY" "$GOLD_LIGHT" x 130
round_glyph 28 "$GOLD_LIGHT" "$RED" white x 153
round_glyph 23 "$GOLD" "$NAVY" "$GOLD_LIGHT" - 135
round_glyph 23 "$GOLD_LIGHT" "$GOLD" "$INK" - 154

# ---- Game title bar ---------------------------------------------------------
# 217: the bar's background (25 x 25 with alpha), stretched over the width; a
# light top row and a gold bottom row.
T=$(px 25)
convert -size "${T}x${T}" gradient:'#1f4379'-'#0c1d39' \
    -fill '#3a66a8' -draw "$(hline 0 $((T - 1)) 0)" \
    -fill "$GOLD_DARK" -draw "$(hline 0 $((T - 1)) 24)" \
    "$work/titlebar.png"
save_rgba "$work/titlebar.png" 217

# 137: the icon at the bar's left end (16 x 16, opaque) on the bar's colours.
[ -f "$work/emblem-big.png" ] || emblem 256 "$work/emblem-big.png"
I=$(px 16)
convert "$work/titlebar.png" -crop "${I}x${I}+$(px 5)+$(px 5)" +repage \
    \( "$work/emblem-big.png" -resize "${I}x${I}" \) -compose Over -composite "$work/icon137.png"
save_rgb "$work/icon137.png" 137 '#16325c'

# Glyph buttons (25 x 25): normal = glyph on transparent, hover = opaque.
glyph_layer() { # colour glyph file (drawn at 100 x 100 for 25 x 25, reduced)
    local ink=$1 glyph=$2 file=$3
    local G C d draw
    G=$(px 25)
    C=$((G * 4))
    d=$C/100
    case $glyph in
    close) draw="line 34,34 66,66 line 66,34 34,66" ;;
    max) draw="rectangle 32,32 68,68" ;;
    min) draw="line 32,62 68,62" ;;
    restore) draw="rectangle 30,42 58,70 polyline 42,42 42,30 70,30 70,58 58,58" ;;
    esac
    if [ "$glyph" = muted ]; then
        # A speaker struck through: the game is muted.
        convert -size "${C}x${C}" xc:none -stroke none -fill "$ink" \
            -draw "$(mvg "$d" "$d" f "polygon 22,40 36,40 54,24 54,76 36,60 22,60")" \
            -fill none -stroke "$ink" -strokewidth "$(num "7*$d")" \
            -draw "$(mvg "$d" "$d" f "line 64,38 84,62 line 84,38 64,62")" \
            -resize "${G}x${G}" "$work/$file.png"
    elif [ "$glyph" = menu ]; then
        # A wrench: round head with an open jaw, and a handle.
        convert -size "${C}x${C}" xc:none -stroke "$ink" -strokewidth "$(num "12*$d")" \
            -draw "$(mvg "$d" "$d" f "line 30,72 58,44")" \
            -stroke none -fill "$ink" -draw "$(mvg "$d" "$d" f "circle 62,38 62,18")" \
            -fill black -draw "$(mvg "$d" "$d" f "polygon 62,38 88,24 76,12")" \
            -channel A -fx "r<0.01&&g<0.01&&b<0.01 ? 0 : a" +channel \
            -resize "${G}x${G}" "$work/$file.png"
    else
        convert -size "${C}x${C}" xc:none -fill none -stroke "$ink" -strokewidth "$(num "7*$d")" \
            -draw "$(mvg "$d" "$d" f "$draw")" \
            -resize "${G}x${G}" "$work/$file.png"
    fi
}
# The hover look is opaque; "rgba" stores it with an alpha channel all the same
# (the close button's looks both carry one). Its gold frame is one pixel at
# 100 %, on the outer edge, and leaves the bottom row free.
title_button() { # id-normal id-hover glyph hover-colour-top hover-colour-bottom glyph-colour [rgba]
    glyph_layer '#dfe6f2' "$3" "g$1"
    save_rgba "$work/g$1.png" "$1"
    local edge
    edge=$(num "-0.5 + k/2")
    convert "$work/titlebar.png" \( -size "${T}x${T}" gradient:"$4"-"$5" \) -compose Over -composite \
        \( -size "${T}x${T}" xc:none -fill none -stroke "$GOLD" -strokewidth "$(num "k")" \
           -draw "rectangle $edge,$edge $(num "$T - 0.5 - k/2"),$(num "$(px 24) - 0.5 - k/2")" \) \
        -compose Over -composite "$work/h$2.png"
    glyph_layer "$6" "$3" "g$2"
    convert "$work/h$2.png" "$work/g$2.png" -compose Over -composite "$work/h$2.png"
    if [ "${7:-}" = rgba ]; then
        save_rgba "$work/h$2.png" "$2"
    else
        save_rgb "$work/h$2.png" "$2" "$NAVY"
    fi
}
title_button 209 210 close "$RED" '#9e1f14' white rgba
title_button 211 212 max '#2f5fa3' '#1a3a6c' "$GOLD_LIGHT"
title_button 213 214 min '#2f5fa3' '#1a3a6c' "$GOLD_LIGHT"
title_button 215 216 restore '#2f5fa3' '#1a3a6c' "$GOLD_LIGHT"
title_button 196 208 menu '#2f5fa3' '#1a3a6c' "$GOLD_LIGHT"
# 218 | 219: shown in the title bar while the game is muted; a click unmutes.
title_button 218 219 muted '#2f5fa3' '#1a3a6c' "$GOLD_LIGHT"

# Menu row icons (16 x 16 with alpha): ink on the menu's light rows, drawn at
# 64 x 64 (for 16 x 16) and reduced, so they keep the glyph buttons' soft
# edges. The arguments' drawings and stroke widths are those at 64 x 64.
row_icon() { # id draw-arguments...
    local id=$1 I C a next=""
    shift
    I=$(px 16)
    C=$((I * 4))
    local args=()
    for a in "$@"; do
        case $next in
        draw) a=$(mvg "$C/64" "$C/64" f "$a") ;;
        width) a=$(num "$a*$C/64") ;;
        esac
        next=""
        case $a in
        -draw) next=draw ;;
        -strokewidth) next=width ;;
        esac
        args+=("$a")
    done
    convert -size "${C}x${C}" xc:none -fill none -stroke "$NAVY" -strokewidth "$(num "6*$C/64")" "${args[@]}" \
        -resize "${I}x${I}" "$work/r$id.png"
    save_rgba "$work/r$id.png" "$id"
}
# 220 全屏: four corners pushed out to the edges.
row_icon 220 -draw "polyline 6,22 6,6 22,6 polyline 42,6 58,6 58,22 polyline 58,42 58,58 42,58 polyline 22,58 6,58 6,42"
# 221 截图: a camera.
row_icon 221 -draw "roundrectangle 5,18 59,54 6,6" -draw "circle 32,36 32,26" -draw "polyline 22,18 26,10 38,10 42,18"
# 222 静音: a speaker struck through; 223 取消静音: a speaker with its sound.
row_icon 222 -fill "$NAVY" -stroke none -draw "polygon 6,24 18,24 34,10 34,54 18,40 6,40" \
    -fill none -stroke "$NAVY" -draw "line 42,22 58,42 line 58,22 42,42"
row_icon 223 -fill "$NAVY" -stroke none -draw "polygon 6,24 18,24 34,10 34,54 18,40 6,40" \
    -fill none -stroke "$NAVY" -draw "arc 30,20 46,44 -60,60 arc 32,8 60,56 -60,60"

# Link strips (82 x 22, opaque): two 41 x 22 frames on the bar's rows 2-23,
# normal (gold text) and hover (lit pill, light text). Each frame is drawn at
# its own scaled size, so the strip is twice a scaled frame wide.
link_strip() { # id caption
    local FW FH
    FW=$(px 41)
    FH=$(px 22)
    convert "$work/titlebar.png" -crop "${T}x$(($(px 24) - $(px 2)))+0+$(px 2)" +repage -resize "${FW}x${FH}!" \
        "$work/bar41.png"
    convert "$work/bar41.png" -font "$FONT" -pointsize "$(num "12*k")" -fill "$GOLD" -gravity center \
        -annotate +0+0 "$2" "$work/l$1a.png"
    convert "$work/bar41.png" \
        \( -size $((FW * 4))x$((FH * 4)) xc:none -fill '#2f5fa3' -stroke "$GOLD" -strokewidth "$(num "4*k")" \
           -draw "$(mvg "$((FW * 4))/164" "$((FH * 4))/88" f 'roundrectangle 4,8 159,79 18,18')" \
           -resize "${FW}x${FH}!" \) -compose Over -composite \
        -stroke none -font "$FONT" -pointsize "$(num "12*k")" -fill white -gravity center -annotate +0+0 "$2" \
        "$work/l$1b.png"
    convert "$work/l$1a.png" "$work/l$1b.png" +append "$work/l$1.png"
    save_rgb "$work/l$1.png" "$1" "$NAVY"
}
link_strip 138 客服
link_strip 139 论坛
link_strip 140 官网
link_strip 141 充值

# ---- Close confirmation ------------------------------------------------------
# 142: the panel (295 x 190 with alpha): rounded, gold rim, soft outer shadow;
# the body of 291 x 184 at (2, 2), its header 34 high.
BW=$(px 291)
convert -size "$(px 295)x$(px 190)" xc:none \
    \( -size "$(px 295)x$(px 190)" xc:none -fill 'rgba(0,0,0,0.55)' -draw "$(mvgi 'roundrectangle 3,4 291,188 10,10')" \
       -blur "0x$(num "2*k")" \) \
    -compose Over -composite \
    \( -size "${BW}x$(px 184)" xc:"$BODY" -alpha set \
       \( -size "${BW}x$(px 34)" gradient:'#23497f'-'#0f2445' \) -geometry +0+0 -compose Over -composite \
       -fill "$GOLD_DARK" -draw "$(hline 0 $((BW - 1)) 34)" \
       \( -size "${BW}x$(px 184)" xc:none -fill white -draw "$(mvgi 'roundrectangle 0,0 290,183 9,9')" \) \
       -compose DstIn -composite \) \
    -geometry "+$(px 2)+$(px 2)" -compose Over -composite \
    -fill none -stroke "$GOLD" -strokewidth "$(num "2*k")" -draw "$(mvgi 'roundrectangle 3,3 291,185 9,9')" \
    -stroke none -font "$FONT" -fill "$GOLD_LIGHT" -pointsize "$(num "15*k")" -gravity northwest \
    -annotate "+$(px 16)+$(px 10)" '提示' \
    -fill "$TEXT_LIGHT" -pointsize "$(num "15*k")" -gravity north -annotate "+0+$(px 60)" '是否确定要关闭游戏？' \
    "$work/panel.png"
save_rgba "$work/panel.png" 142

pill 68 35 "$GOLD_LIGHT" "$GOLD" "$GOLD_DARK" 确定 "$INK" "$BODY" c144 15
save_rgb "$work/c144.png" 144 "$BODY"
pill 68 35 '#fff4cf' "$GOLD_LIGHT" "$GOLD" 确定 "$RED" "$BODY" c146 15
save_rgb "$work/c146.png" 146 "$BODY"
pill 68 35 '#2a5597' '#16325c' "$GOLD_DARK" 取消 "$GOLD_LIGHT" "$BODY" c147 15
save_rgb "$work/c147.png" 147 "$BODY"
pill 68 35 '#3a6fbf' '#1f4379' "$GOLD_LIGHT" 取消 white "$BODY" c148 15
save_rgb "$work/c148.png" 148 "$BODY"

# ---- Launcher artwork 145 (1154 x 704 with alpha) ----------------------------
# An irregular outline: the framed body, a crest above its middle and the
# emblem breaking out of its left edge, on transparent surroundings with a
# soft shadow. The 600 x 386 page area at (377, 208) is a dark panel; at every
# scale it covers exactly the scaled page (MulDiv of each edge), where the
# launcher puts its browser.
L=$work/launcher
LW=$(px 1154)
LH=$(px 704)
convert -size "${LW}x${LH}" xc:none -fill white \
    -draw "$(mvgi 'roundrectangle 330,140 1090,640 18,18')" \
    -draw "$(mvgi 'ellipse 677,150 200,100 180,360')" \
    -draw "$(mvgi 'circle 200,330 200,166')" \
    "$L-shape.png"
convert "$L-shape.png" -channel A -morphology Dilate "Disk:$(num "6*k")" +channel \
    -fill black -colorize 100 -channel A -evaluate multiply 0.6 +channel -blur "0x$(num "9*k")" "$L-shadow.png"
convert -size "${LW}x${LH}" gradient:'#1b3b6b'-'#081429' -alpha set "$L-shape.png" -compose DstIn -composite \
    "$L-body.png"
convert -size "${LW}x${LH}" xc:none \
    "$L-shadow.png" -compose Over -composite \
    "$L-body.png" -compose Over -composite \
    -fill "$BAND" -draw "$(mvgi 'rectangle 334,150 1086,210')" \
    -fill none -stroke "$GOLD_DARK" -strokewidth "$(num "6*k")" \
    -draw "$(mvgi 'roundrectangle 330,140 1090,640 18,18')" \
    -stroke "$GOLD" -strokewidth "$(num "2*k")" -draw "$(mvgi 'roundrectangle 330,140 1090,640 18,18')" \
    -stroke "$GOLD_DARK" -strokewidth "$(num "2*k")" -draw "$(mvgi 'line 334,211 1086,211')" \
    -stroke "$GOLD_DARK" -strokewidth "$(num "6*k")" -draw "$(mvgi 'ellipse 677,150 200,100 190,350')" \
    -stroke "$GOLD" -strokewidth "$(num "2*k")" -draw "$(mvgi 'ellipse 677,150 200,100 190,350')" \
    -stroke none -fill '#050d1c' -draw "$(mvgi 'rectangle 377,208 976,593')" \
    -fill none -stroke "$GOLD_DARK" -strokewidth "$(num "k")" -draw "$(mvgi 'rectangle 375,206 978,595')" \
    "$L-base.png"
# Crest title and the emblem.
convert "$L-base.png" \
    -font "$FONT" -pointsize "$(num "44*k")" -fill "$GOLD" -stroke "$GOLD_DARK" -strokewidth "$(num "k")" \
    -gravity north -annotate "+$(px 100)+$(px 62)" 'Morvane' \
    -stroke none -pointsize "$(num "17*k")" -fill "$GOLD_LIGHT" -annotate "+$(px 100)+$(px 112)" '— 网 页 版 —' \
    "$L-title.png"
# The medallion on the left: a night-blue disc with gold rings, the star and the "M".
convert "$L-title.png" \
    \( -size "${LW}x${LH}" radial-gradient:"$NAVY_LIGHT"-"$NAVY_DARK" -alpha set \
       \( -size "${LW}x${LH}" xc:none -fill white -draw "$(mvgi 'circle 200,330 200,170')" \) \
       -compose DstIn -composite \
       -roll "-$((LW / 2 - $(px 200)))-$((LH / 2 - $(px 330)))" \) -compose Over -composite \
    -fill none -stroke "$GOLD_DARK" -strokewidth "$(num "8*k")" -draw "$(mvgi 'circle 200,330 200,170')" \
    -stroke "$GOLD" -strokewidth "$(num "2*k")" -draw "$(mvgi 'circle 200,330 200,170')" \
    -stroke "$GOLD_DARK" -strokewidth "$(num "2*k")" -draw "$(mvgi 'circle 200,330 200,188')" \
    -stroke none -fill "$GOLD_LIGHT" \
    -draw "$(mvgi 'polygon 200,206 212,236 244,236 218,255 228,286 200,267 172,286 182,255 156,236 188,236')" \
    -font "$FONT" -pointsize "$(num "170*k")" -fill "$GOLD" -stroke "$GOLD_DARK" -strokewidth "$(num "3*k")" \
    -gravity northwest -annotate "+$(px 140)+$(px 262)" 'M' \
    -stroke none -font "$FONT" -pointsize "$(num "13*k")" -fill '#9fb3d6' -gravity north \
    -annotate "+$(px 100)+$(px 606)" '抵制不良游戏  拒绝盗版游戏  注意自我保护  谨防受骗上当' \
    -annotate "+$(px 100)+$(px 622)" '适度游戏益脑  沉迷游戏伤身  合理安排时间  享受健康生活' \
    "$L-final.png"
# Right column: a gold ornament beside the page.
column=()
y=300
for c in 新 服 火 爆 开 启; do
    column+=(-annotate "+$(px 1022)+$(px $y)" "$c")
    y=$((y + 32))
done
convert "$L-final.png" \
    -fill none -stroke "$GOLD_DARK" -strokewidth "$(num "2*k")" -draw "$(mvgi 'roundrectangle 992,222 1074,586 10,10')" \
    -stroke none -fill "$GOLD" \
    -draw "$(mvgi 'polygon 1033,240 1040,256 1057,256 1043,266 1048,283 1033,273 1018,283 1023,266 1009,256 1026,256')" \
    -font "$FONT" -fill "$GOLD_LIGHT" -pointsize "$(num "22*k")" -gravity northwest "${column[@]}" \
    -fill "$GOLD" \
    -draw "$(mvgi 'polygon 1033,520 1040,536 1057,536 1043,546 1048,563 1033,553 1018,563 1023,546 1009,536 1026,536')" \
    "$L-done.png"
save_rgba "$L-done.png" 145

echo "skin written at $SCALE %"
