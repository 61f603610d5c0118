# Skin images of the client, sourced by make-artwork.sh (which sets FONT, the
# palette, $work and emblem). Writes resources/skin/<id>.png: RGBA where the
# picture has transparency, opaque RGB where it must not.
# Needs: imagemagick fonts-wqy-zenhei.

skin=resources/skin
mkdir -p "$skin"

# Reproducible files: no time stamps, no text chunks.
PNG_CLEAN=(-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt)
save_rgba() { convert "$1" "${PNG_CLEAN[@]}" "PNG32:$skin/$2.png"; }
save_rgb() { convert "$1" -background "$3" -alpha remove -alpha off "${PNG_CLEAN[@]}" "PNG24:$skin/$2.png"; }

BAND='#0f2445'      # launcher header band, behind its picture buttons
BODY='#132b50'      # close-confirmation panel body, behind its buttons
INK='#0b1a33'       # dark text on gold
TEXT_LIGHT='#f4ead0'
RED='#c42b1c'

# A gold-framed pill button: size fill-top fill-bottom border text text-colour background file
pill() {
    local w=$1 h=$2 top=$3 bottom=$4 border=$5 text=$6 ink=$7 bg=$8 file=$9 pt=${10:-13}
    local s=4 W=$(($1 * 4)) H=$(($2 * 4))
    convert -size "${W}x${H}" "xc:$bg" \
        \( -size "${W}x${H}" gradient:"$top"-"$bottom" -alpha set \
           \( -size "${W}x${H}" xc:none -fill white -draw "roundrectangle 2,2 $((W - 3)),$((H - 3)) $((5 * s)),$((5 * s))" \) \
           -compose DstIn -composite \) -compose Over -composite \
        -fill none -stroke "$border" -strokewidth $((2 * s)) \
        -draw "roundrectangle $s,$s $((W - s - 1)),$((H - s - 1)) $((5 * s)),$((5 * s))" \
        -stroke 'rgba(255,255,255,0.25)' -strokewidth $s \
        -draw "line $((6 * s)),$((3 * s)) $((W - 6 * s)),$((3 * s))" \
        -resize "${w}x${h}!" \
        -font "$FONT" -pointsize "$pt" -fill "$ink" -stroke none -gravity center -annotate +0+0 "$text" \
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
round_glyph() { # size ring fill glyph-colour glyph(x|-) file
    local size=$1 S=$(($1 * 8)) ring=$2 fill=$3 ink=$4 glyph=$5 file=$6
    local c=$((S / 2)) r=$((S / 2 - 6)) g=$((S / 5))
    local draw
    if [ "$glyph" = x ]; then
        draw="line $((c - g)),$((c - g)) $((c + g)),$((c + g)) line $((c + g)),$((c - g)) $((c - g)),$((c + g))"
    else
        draw="line $((c - g)),$c $((c + g)),$c"
    fi
    convert -size "${S}x${S}" "xc:$BAND" \
        -fill "$fill" -stroke "$ring" -strokewidth 10 -draw "circle $c,$c $c,$((c - r))" \
        -stroke "$ink" -strokewidth $((S / 12)) -draw "$draw" \
        -resize "${size}x${size}" "$work/$file.png"
    save_rgb "$work/$file.png" "$file" "$BAND"
}
round_glyph 28 "$GOLD" "$NAVY" "$GOLD_LIGHT" x 130
round_glyph 28 "$GOLD_LIGHT" "$RED" white x 153
round_glyph 23 "$GOLD" "$NAVY" "$GOLD_LIGHT" - 135
round_glyph 23 "$GOLD_LIGHT" "$GOLD" "$INK" - 154

# ---- Game title bar ---------------------------------------------------------
# 217: the bar's background (25 x 25 with alpha), stretched over the width.
convert -size 25x25 gradient:'#1f4379'-'#0c1d39' \
    -fill '#3a66a8' -draw 'line 0,0 24,0' \
    -fill "$GOLD_DARK" -draw 'line 0,24 24,24' \
    "$work/titlebar.png"
save_rgba "$work/titlebar.png" 217

# 137: the icon at the bar's left end (16 x 16, opaque) on the bar's colours.
emblem 256 "$work/emblem-big.png"
convert "$work/titlebar.png" -crop 16x16+5+5 +repage \
    \( "$work/emblem-big.png" -resize 16x16 \) -compose Over -composite "$work/icon137.png"
save_rgb "$work/icon137.png" 137 '#16325c'

# Glyph buttons (25 x 25): normal = glyph on transparent, hover = opaque.
glyph_layer() { # colour glyph file (drawn at 100 x 100, reduced to 25 x 25)
    local ink=$1 glyph=$2 file=$3
    local draw
    case $glyph in
    close) draw="line 34,34 66,66 line 66,34 34,66" ;;
    max) draw="rectangle 32,32 68,68" ;;
    min) draw="line 32,62 68,62" ;;
    restore) draw="rectangle 30,42 58,70 polyline 42,42 42,30 70,30 70,58 58,58" ;;
    esac
    if [ "$glyph" = muted ]; then
        # A speaker struck through: the game is muted.
        convert -size 100x100 xc:none -stroke none -fill "$ink" -draw "polygon 22,40 36,40 54,24 54,76 36,60 22,60" \
            -fill none -stroke "$ink" -strokewidth 7 -draw "line 64,38 84,62 line 84,38 64,62" \
            -resize 25x25 "$work/$file.png"
    elif [ "$glyph" = menu ]; then
        # A wrench: round head with an open jaw, and a handle.
        convert -size 100x100 xc:none -stroke "$ink" -strokewidth 12 -draw "line 30,72 58,44" \
            -stroke none -fill "$ink" -draw "circle 62,38 62,18" \
            -fill black -draw "polygon 62,38 88,24 76,12" \
            -channel A -fx "r<0.01&&g<0.01&&b<0.01 ? 0 : a" +channel \
            -resize 25x25 "$work/$file.png"
    else
        convert -size 100x100 xc:none -fill none -stroke "$ink" -strokewidth 7 -draw "$draw" \
            -resize 25x25 "$work/$file.png"
    fi
}
# The hover look is opaque; "rgba" stores it with an alpha channel all the same
# (the close button's looks both carry one).
title_button() { # id-normal id-hover glyph hover-colour-top hover-colour-bottom glyph-colour [rgba]
    glyph_layer '#dfe6f2' "$3" "g$1"
    save_rgba "$work/g$1.png" "$1"
    convert "$work/titlebar.png" \( -size 25x25 gradient:"$4"-"$5" \) -compose Over -composite \
        \( -size 25x25 xc:none -fill none -stroke "$GOLD" -strokewidth 1 -draw 'rectangle 0,0 24,23' \) \
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
# 64 x 64 and reduced, so they keep the glyph buttons' soft edges.
row_icon() { # id draw-arguments...
    local id=$1; shift
    convert -size 64x64 xc:none -fill none -stroke "$NAVY" -strokewidth 6 "$@" -resize 16x16 "$work/r$id.png"
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
# normal (gold text) and hover (lit pill, light text).
link_strip() { # id caption
    convert "$work/titlebar.png" -crop 25x22+0+2 +repage -resize '41x22!' "$work/bar41.png"
    convert "$work/bar41.png" -font "$FONT" -pointsize 12 -fill "$GOLD" -gravity center -annotate +0+0 "$2" \
        "$work/l$1a.png"
    convert "$work/bar41.png" \
        \( -size 164x88 xc:none -fill '#2f5fa3' -stroke "$GOLD" -strokewidth 4 \
           -draw 'roundrectangle 4,8 159,79 18,18' -resize '41x22!' \) -compose Over -composite \
        -stroke none -font "$FONT" -pointsize 12 -fill white -gravity center -annotate +0+0 "$2" "$work/l$1b.png"
    convert "$work/l$1a.png" "$work/l$1b.png" +append "$work/l$1.png"
    save_rgb "$work/l$1.png" "$1" "$NAVY"
}
link_strip 138 客服
link_strip 139 论坛
link_strip 140 官网
link_strip 141 充值

# ---- Close confirmation ------------------------------------------------------
# 142: the panel (295 x 190 with alpha): rounded, gold rim, soft outer shadow.
convert -size 295x190 xc:none \
    \( -size 295x190 xc:none -fill 'rgba(0,0,0,0.55)' -draw 'roundrectangle 3,4 291,188 10,10' -blur 0x2 \) \
    -compose Over -composite \
    \( -size 291x184 xc:"$BODY" -alpha set \
       \( -size 291x34 gradient:'#23497f'-'#0f2445' \) -geometry +0+0 -compose Over -composite \
       -fill "$GOLD_DARK" -draw 'line 0,34 290,34' \
       \( -size 291x184 xc:none -fill white -draw 'roundrectangle 0,0 290,183 9,9' \) -compose DstIn -composite \) \
    -geometry +2+2 -compose Over -composite \
    -fill none -stroke "$GOLD" -strokewidth 2 -draw 'roundrectangle 3,3 291,185 9,9' \
    -stroke none -font "$FONT" -fill "$GOLD_LIGHT" -pointsize 15 -gravity northwest -annotate +16+10 '提示' \
    -fill "$TEXT_LIGHT" -pointsize 15 -gravity north -annotate +0+60 '是否确定要关闭游戏？' \
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
# soft shadow. The 600 x 386 page area at (377, 208) is a dark panel.
L=$work/launcher
convert -size 1154x704 xc:none -fill white \
    -draw 'roundrectangle 330,140 1090,640 18,18' \
    -draw 'ellipse 677,150 200,100 180,360' \
    -draw 'circle 200,330 200,166' \
    "$L-shape.png"
convert "$L-shape.png" -channel A -morphology Dilate Disk:6 +channel \
    -fill black -colorize 100 -channel A -evaluate multiply 0.6 +channel -blur 0x9 "$L-shadow.png"
convert -size 1154x704 gradient:'#1b3b6b'-'#081429' -alpha set "$L-shape.png" -compose DstIn -composite "$L-body.png"
convert -size 1154x704 xc:none \
    "$L-shadow.png" -compose Over -composite \
    "$L-body.png" -compose Over -composite \
    -fill "$BAND" -draw 'rectangle 334,150 1086,210' \
    -fill none -stroke "$GOLD_DARK" -strokewidth 6 \
    -draw 'roundrectangle 330,140 1090,640 18,18' \
    -stroke "$GOLD" -strokewidth 2 -draw 'roundrectangle 330,140 1090,640 18,18' \
    -stroke "$GOLD_DARK" -strokewidth 2 -draw 'line 334,211 1086,211' \
    -stroke "$GOLD_DARK" -strokewidth 6 -draw 'ellipse 677,150 200,100 190,350' \
    -stroke "$GOLD" -strokewidth 2 -draw 'ellipse 677,150 200,100 190,350' \
    -stroke none -fill '#050d1c' -draw 'rectangle 377,208 976,593' \
    -fill none -stroke "$GOLD_DARK" -strokewidth 1 -draw 'rectangle 375,206 978,595' \
    "$L-base.png"
# Crest title and the emblem.
convert "$L-base.png" \
    -font "$FONT" -pointsize 44 -fill "$GOLD" -stroke "$GOLD_DARK" -strokewidth 1 -gravity north \
    -annotate +100+62 'Morvane' \
    -stroke none -pointsize 17 -fill "$GOLD_LIGHT" -annotate +100+112 '— 网 页 版 —' \
    "$L-title.png"
# The medallion on the left: a night-blue disc with gold rings, the star and the "M".
convert "$L-title.png" \
    \( -size 1154x704 radial-gradient:"$NAVY_LIGHT"-"$NAVY_DARK" -alpha set \
       \( -size 1154x704 xc:none -fill white -draw 'circle 200,330 200,170' \) -compose DstIn -composite \
       -roll -377-22 \) -compose Over -composite \
    -fill none -stroke "$GOLD_DARK" -strokewidth 8 -draw 'circle 200,330 200,170' \
    -stroke "$GOLD" -strokewidth 2 -draw 'circle 200,330 200,170' \
    -stroke "$GOLD_DARK" -strokewidth 2 -draw 'circle 200,330 200,188' \
    -stroke none -fill "$GOLD_LIGHT" \
    -draw 'polygon 200,206 212,236 244,236 218,255 228,286 200,267 172,286 182,255 156,236 188,236' \
    -font "$FONT" -pointsize 170 -fill "$GOLD" -stroke "$GOLD_DARK" -strokewidth 3 -gravity northwest \
    -annotate +140+262 'M' \
    -stroke none -font "$FONT" -pointsize 13 -fill '#9fb3d6' -gravity north \
    -annotate +100+606 '抵制不良游戏  拒绝盗版游戏  注意自我保护  谨防受骗上当' \
    -annotate +100+622 '适度游戏益脑  沉迷游戏伤身  合理安排时间  享受健康生活' \
    "$L-final.png"
# Right column: a gold ornament beside the page.
convert "$L-final.png" \
    -fill none -stroke "$GOLD_DARK" -strokewidth 2 -draw 'roundrectangle 992,222 1074,586 10,10' \
    -stroke none -fill "$GOLD" -draw 'polygon 1033,240 1040,256 1057,256 1043,266 1048,283 1033,273 1018,283 1023,266 1009,256 1026,256' \
    -font "$FONT" -fill "$GOLD_LIGHT" -pointsize 22 -gravity northwest \
    -annotate +1022+300 '新' -annotate +1022+332 '服' -annotate +1022+364 '火' -annotate +1022+396 '爆' \
    -annotate +1022+428 '开' -annotate +1022+460 '启' \
    -fill "$GOLD" -draw 'polygon 1033,520 1040,536 1057,536 1043,546 1048,563 1033,553 1018,563 1023,546 1009,536 1026,536' \
    "$L-done.png"
save_rgba "$L-done.png" 145

echo "skin written"
