#!/usr/bin/env bash
# Regenerates every picture in resources/art/ from scratch.
#
# The generated files are committed, so building Velmora never needs this
# script; run it only after changing the art. Needs ImageMagick 6, Python 3,
# Debian's tango-icon-theme (public domain) and fonts-dejavu-core.
#
#   tools/make_art.sh            # writes resources/art/
#   tools/make_art.sh OUTDIR     # writes somewhere else (e.g. to compare)
#
# Where each picture comes from (NOTICE repeats this for the credits):
#   new.ico button.ico cust.ico help.ico tip.ico   Tango PNGs, repacked
#   move_up.ico move_down.ico cut.ico copy.ico     Tango PNGs, repacked
#   paste.ico delete.ico undo.ico                  Tango PNGs, repacked
#   velmora.ico splash.bmp                          our own drawing
#   qm.ico chkmark.ico                              our own pixel art
#   unknown.ico break.ico sep.ico                   our own pixel art
#   up.ico down.ico up2.ico down2.ico drag.cur      our own polygons
#
# velmora.ico holds the program icon at 16, 24, 32, 48 and 256 pixels; the
# 256-pixel image is stored as PNG, the others as 32-bit DIBs. Everything
# else is one 16x16 image (tip.ico 32x32, drag.cur 32x32).
#
# Output is byte-for-byte reproducible: ImageMagick only produces raw RGBA
# pixels and the 24-bit BMP (neither carries a timestamp), and the icon and
# cursor containers, with the one PNG inside velmora.ico, are written by the
# small packer below, so no tool version string or date ends up in a file.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/resources/art}
tango=${TANGO_DIR:-/usr/share/icons/Tango}
fonts=${DEJAVU_DIR:-/usr/share/fonts/truetype/dejavu}
# Call ImageMagick 6 by its own name where Debian provides it, so a wrapper
# that happens to be first on PATH cannot change the pixels.
im=${IM_CONVERT:-$(command -v convert-im6.q16 || command -v convert || true)}
python=${PYTHON:-python3}

[ -n "$im" ] || { echo "make_art: ImageMagick's convert not found" >&2; exit 1; }
for f in "$tango/16x16/actions/document-new.png" "$fonts/DejaVuSans.ttf" "$fonts/DejaVuSans-Bold.ttf"; do
  [ -f "$f" ] || { echo "make_art: missing $f (apt-get install tango-icon-theme fonts-dejavu-core)" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# The coordinates below are computed with awk: a locale with a decimal comma
# would hand ImageMagick numbers it cannot read.
export LC_ALL=C

# --- packer -----------------------------------------------------------------
# Writes .ico/.cur files from raw 8-bit RGBA images. An image is stored as a
# 32-bit BGRA DIB with an AND mask, which LoadImage reads on every Windows
# version and on Wine. Transparent pixels get black colour so that the legacy
# mask path (AND then XOR) leaves the background untouched.
#
# An image marked ":png" is stored as a PNG instead, the form Windows Vista
# and later (and Wine) read for the 256-pixel image of a program icon: as a
# DIB that one image alone would take 270 KB, as a PNG about 15 KB. The PNG
# is written here too, with no chunk beyond the three it needs, so it holds
# no date. Rows are left unfiltered, which packs these smooth drawings
# smallest. zlib gives the same bytes for the same pixels; a Python built on
# another deflate library (zlib-ng) could pack them differently, though the
# picture would be the same.
cat >"$tmp/pack.py" <<'PY'
import struct, sys, zlib

def dib(raw, w, h):
    xor = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):            # DIBs are stored bottom-up
        bits = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = raw[(y * w + x) * 4:(y * w + x) * 4 + 4]
            if a == 0:
                r = g = b = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)

def png(raw, w, h):
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    rows = b''.join(b'\0' + raw[y * w * 4:(y + 1) * w * 4] for y in range(h))
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9))
            + chunk(b'IEND', b''))

def main(argv):
    kind, dest, specs = argv[0], argv[1], argv[2:]
    images = []
    for spec in specs:
        path, w, h, *hot = spec.split(':')
        as_png = hot == ['png']
        if as_png:
            hot = []
        w, h = int(w), int(h)
        raw = open(path, 'rb').read()
        if len(raw) != w * h * 4:
            sys.exit(f'{path}: expected {w}x{h} RGBA, got {len(raw)} bytes')
        images.append((w, h, [int(v) for v in hot],
                       png(raw, w, h) if as_png else dib(raw, w, h)))
    out = struct.pack('<HHH', 0, 2 if kind == 'cur' else 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, hot, data in images:
        # In a .cur the planes/bit-count words hold the hotspot instead.
        a, b = (hot[0], hot[1]) if kind == 'cur' else (1, 32)
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, a, b,
                           len(data), offset)
        offset += len(data)
    for *_, data in images:
        out += data
    open(dest, 'wb').write(out)

main(sys.argv[1:])
PY

pack() { "$python" "$tmp/pack.py" "$@"; }
# to_rgba NAME ARGS...: convert ARGS... and keep the pixels as $tmp/NAME.rgba.
to_rgba() {
  local name=$1; shift
  "$im" "$@" -background none -alpha on -depth 8 "RGBA:$tmp/$name.rgba"
}
calc() { awk "BEGIN { printf \"%.4f\", $* }"; }

# --- Tango pictures, repacked -----------------------------------------------
from_tango() { # NAME SIZE FILE
  to_rgba "$1" "$tango/$2x$2/$3"
  pack ico "$out/$1.ico" "$tmp/$1.rgba:$2:$2"
}
from_tango new 16 actions/document-new.png
from_tango button 16 mimetypes/application-x-executable.png
from_tango cust 16 categories/preferences-system.png
from_tango help 16 apps/help-browser.png
from_tango tip 32 status/dialog-information.png
# The Customize page's edit toolbar.
from_tango move_up 16 actions/go-up.png
from_tango move_down 16 actions/go-down.png
from_tango cut 16 actions/edit-cut.png
from_tango copy 16 actions/edit-copy.png
from_tango paste 16 actions/edit-paste.png
from_tango delete 16 actions/edit-delete.png
from_tango undo 16 actions/edit-undo.png

# --- pixel art ----------------------------------------------------------------
# At 16x16 any smoothing blurs a small symbol, so these are set pixel by
# pixel. Each is an XPM: the rows below read as the picture itself.
xpm_icon() { # NAME, XPM on stdin
  cat >"$tmp/$1.xpm"
  to_rgba "$1" "$tmp/$1.xpm"
  pack ico "$out/$1.ico" "$tmp/$1.rgba:16:16"
}

# A blank page with a folded corner and a question mark: shown for an entry
# whose own icon cannot be had.
xpm_icon qm <<'XPM'
/* XPM */
static char *qm[] = {
"16 16 6 1",
"  c None",
"o c #888A85",
"w c #FFFFFF",
"f c #F3F3F1",
"d c #D3D7CF",
"q c #204A87",
"  ooooooooo     ",
"  owwwwwwwoo    ",
"  owffffffodo   ",
"  owffffffoooo  ",
"  owffqqqqfffo  ",
"  owfqqffqqffo  ",
"  owfffffqqffo  ",
"  owffffqqfffo  ",
"  owfffqqffffo  ",
"  owfffqqffffo  ",
"  owfffffffffo  ",
"  owfffqqffffo  ",
"  owfffqqffffo  ",
"  owfffffffffo  ",
"  owfffffffffo  ",
"  oooooooooooo  "};
XPM

# The Customize page's tree shows these for entries that have no picture of
# their own. "unknown" is the page of qm without its question mark and greyed
# out: the entry's icon has simply not been looked up yet, nothing is wrong.
xpm_icon unknown <<'XPM'
/* XPM */
static char *unknown[] = {
"16 16 5 1",
"  c None",
"o c #888A85",
"w c #EEEEEC",
"g c #D3D7CF",
"d c #BABDB6",
"  ooooooooo     ",
"  owwwwwwwoo    ",
"  owggggggodo   ",
"  owggggggoooo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  owgggggggggo  ",
"  oooooooooooo  "};
XPM

# A page break: the foot of one page, a dashed cut, the head of the next.
xpm_icon break <<'XPM'
/* XPM */
static char *break_[] = {
"16 16 7 1",
"  c None",
"o c #888A85",
"w c #FFFFFF",
"f c #F3F3F1",
"d c #D3D7CF",
"l c #BABDB6",
"k c #3465A4",
"  owfffffffffo  ",
"  owfllllllffo  ",
"  owfffffffffo  ",
"  owflllllfffo  ",
"  owfffffffffo  ",
"  oooooooooooo  ",
"                ",
" kk kk kk kk kk ",
" kk kk kk kk kk ",
"                ",
"  ooooooooo     ",
"  owwwwwwwoo    ",
"  owffffffodo   ",
"  owffffffoooo  ",
"  owfllllllffo  ",
"  owfffffffffo  "};
XPM

# A separator entry: the etched line the quick menu draws, groove above and
# highlight below.
xpm_icon sep <<'XPM'
/* XPM */
static char *sep[] = {
"16 16 3 1",
"  c None",
"s c #888A85",
"w c #FFFFFF",
"                ",
"                ",
"                ",
"                ",
"                ",
"                ",
"                ",
" ssssssssssssss ",
" wwwwwwwwwwwwww ",
"                ",
"                ",
"                ",
"                ",
"                ",
"                ",
"                "};
XPM

# The menu check mark, in the shape Windows menus use, one size up.
xpm_icon chkmark <<'XPM'
/* XPM */
static char *chkmark[] = {
"16 16 2 1",
"  c None",
"k c #000000",
"                ",
"                ",
"                ",
"                ",
"           k    ",
"          kk    ",
"   k     kkk    ",
"   kk   kkk     ",
"   kkk kkk      ",
"    kkkkk       ",
"     kkk        ",
"      k         ",
"                ",
"                ",
"                ",
"                "};
XPM

# --- page arrows ----------------------------------------------------------------
# Solid triangles, 9 pixels wide and 5 high. With antialiasing off a pixel is
# set when its centre lies inside the polygon, so whole-number corners give
# exact stair steps. The down arrow is the up arrow mirrored top to bottom,
# so a pair drawn one above the other sits symmetrically.
up='polygon 7,5 11,9 3,9'
down='polygon 7,10 11,6 3,6'
arrow() { # NAME COLOUR SHAPE
  to_rgba "$1" -size 16x16 xc:none +antialias -fill "$2" -draw "$3"
  pack ico "$out/$1.ico" "$tmp/$1.rgba:16:16"
}
arrow up '#000000' "$up"
arrow down '#000000' "$down"
# Disabled: flat grey. An engraved look (grey over a white copy) would turn
# into stray white edges on a highlighted or white menu row.
arrow up2 '#A0A0A0' "$up"
arrow down2 '#A0A0A0' "$down"

# --- drag pointer ---------------------------------------------------------------
# A horizontal double arrow, black with a one-pixel white rim like the
# system's sizing pointers, centred on pixel (15,15), which is the hotspot.
"$im" -size 32x32 xc:none +antialias -fill '#000000' \
  -draw 'polygon 4,15 9,10 9,14 21,14 21,10 26,15 21,20 21,16 9,16 9,20' \
  "$tmp/drag-shape.png"
"$im" "$tmp/drag-shape.png" -alpha extract -morphology Dilate Diamond:1 \
  -background '#FFFFFF' -alpha shape "$tmp/drag-rim.png"
to_rgba drag "$tmp/drag-rim.png" "$tmp/drag-shape.png" -compose Over -composite
pack cur "$out/drag.cur" "$tmp/drag.rgba:32:32:15:15"

# --- program icon ---------------------------------------------------------------
# A shooting star on a blue tile: the launcher sends things on their way.
# Drawn at 8x with antialiasing off and box-averaged down, so every pixel
# gets an exact 64-sample coverage and the result does not depend on
# ImageMagick's own edge smoothing. Coordinates are in final pixels with
# pixel edges on whole numbers; the affine maps them onto the 8x grid.
ss=8
star_points() { # CX CY R r
  awk -v cx="$1" -v cy="$2" -v R="$3" -v r="$4" 'BEGIN {
    pi = atan2(0, -1)
    for (i = 0; i < 10; i++) {
      a = -pi / 2 + i * pi / 5; d = (i % 2) ? r : R
      printf "%.3f,%.3f ", cx + d * cos(a), cy + d * sin(a)
    } }'
}
streak() { # X1 Y1 (wide end) X2 Y2 (point) HALF-WIDTH
  awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" -v w="$5" 'BEGIN {
    dx = x2 - x1; dy = y2 - y1; l = sqrt(dx * dx + dy * dy)
    nx = -dy / l * w; ny = dx / l * w
    printf "polygon %.3f,%.3f %.3f,%.3f %.3f,%.3f", x1 + nx, y1 + ny, x1 - nx, y1 - ny, x2, y2
  }'
}
rrect() { echo "roundrectangle $1,$2 $3,$4 $5,$5"; }
args=()
gradient_fill() { # SIZE AFFINE GRADIENT SHAPE: the shape, painted top to bottom
  args+=( \( -size "$1" "gradient:$3"
             \( -size "$1" xc:black +antialias -fill white -draw "$2 $4" \)
             -alpha off -compose CopyOpacity -composite \)
          -compose Over -composite )
}
logo() { # N OUT.png
  local n=$1 dest=$2 f=$(( $1 * ss ))
  local aff="affine $ss,0,0,$ss,-0.5,-0.5"
  local a r cx cy R u=1
  case $n in
    16) a=0; r=3 ;;
    24) a=1; r=4 ;;
    32) a=1; r=6 ;;
    *)  a=$(calc "$n / 24"); r=$(calc "$n * 0.19") ;;
  esac
  # Rims and outline are one pixel wide up to the splash's 64; beyond that
  # a hairline would vanish, so they grow with the picture.
  [ "$n" -le 64 ] || u=$(calc "$n / 64")
  local b; b=$(calc "$n - $a")
  cx=$(calc "$n * 0.60"); cy=$(calc "$n * 0.42"); R=$(calc "$n * 0.30")
  # At 16 pixels the star needs all the room there is to stay a star.
  if [ "$n" -le 16 ]; then cx=8; cy=8.4; R=5.9; fi
  # At 24 the proportional star would run its right arm into the rim; this
  # one sits clear of it with its top point on a single pixel column.
  if [ "$n" -eq 24 ]; then cx=13.5; cy=10.4; R=7; fi
  local ri; ri=$(calc "$R * 0.48")
  local star shadow s1 s2 s3
  star=$(star_points "$cx" "$cy" "$R" "$ri")
  shadow=$(star_points "$cx" "$(calc "$cy + $n / 32")" "$R" "$ri")
  s1=$(streak "$(calc "$cx - $n * 0.10")" "$(calc "$cy + $n * 0.13")" "$(calc "$n * 0.16")" "$(calc "$n * 0.84")" "$(calc "$n * 0.055")")
  s2=$(streak "$(calc "$cx - $n * 0.17")" "$(calc "$cy + $n * 0.02")" "$(calc "$n * 0.10")" "$(calc "$n * 0.62")" "$(calc "$n * 0.035")")
  s3=$(streak "$(calc "$cx + $n * 0.02")" "$(calc "$cy + $n * 0.20")" "$(calc "$n * 0.38")" "$(calc "$n * 0.88")" "$(calc "$n * 0.035")")
  args=( -size "${f}x${f}" xc:none +antialias
    -fill '#204A87' -draw "$aff $(rrect "$a" "$a" "$b" "$b" "$r")" )
  local i1 i2
  i1=$(calc "$a + $u"); i2=$(calc "$a + 2 * $u")
  gradient_fill "${f}x${f}" "$aff" '#9DBDE6-#4F82C4' "$(rrect "$i1" "$i1" "$(calc "$b - $u")" "$(calc "$b - $u")" "$(calc "$r - $u")")"
  gradient_fill "${f}x${f}" "$aff" '#729FCF-#204A87' "$(rrect "$i2" "$i2" "$(calc "$b - 2 * $u")" "$(calc "$b - 2 * $u")" "$(calc "$r - 2 * $u")")"
  args+=( -fill '#FFFFFF66' -draw "$aff $s1" )
  [ "$n" -le 16 ] || args+=( -draw "$aff $s2" -draw "$aff $s3" )
  args+=( -fill '#0B213F80' -draw "$aff polygon $shadow" )
  gradient_fill "${f}x${f}" "$aff" '#FFFBD0-#EDD400' "polygon $star"
  args+=( -fill none -stroke '#C4A000' -strokewidth "$u" -draw "$aff polygon $star"
          -scale "${n}x${n}" "$dest" )
  "$im" "${args[@]}"
}
for n in 16 24 32 48 256; do
  logo "$n" "$tmp/logo$n.png"
  to_rgba "logo$n" "$tmp/logo$n.png"
done
# The splash shows the same drawing, larger.
logo 64 "$tmp/logo64.png"
pack ico "$out/velmora.ico" "$tmp/logo16.rgba:16:16" "$tmp/logo24.rgba:24:24" \
  "$tmp/logo32.rgba:32:32" "$tmp/logo48.rgba:48:48" "$tmp/logo256.rgba:256:256:png"

# --- splash picture ---------------------------------------------------------------
# 320x120, sized for the 5000-twip splash window with its label below. A
# light card with a blue rule along the top edge, as the toolbar sits at the
# top of the screen.
"$im" -size 320x120 gradient:'#FFFFFF-#E6ECF4' \
  \( -size 4x320 gradient:'#729FCF-#204A87' -rotate 90 \) -geometry +0+0 -compose Over -composite \
  "$tmp/logo64.png" -geometry +26+30 -compose Over -composite \
  -font "$fonts/DejaVuSans-Bold.ttf" -pointsize 34 -fill '#204A87' \
  -annotate +108+66 'Velmora' \
  -font "$fonts/DejaVuSans.ttf" -pointsize 14 -fill '#555753' \
  -annotate +110+88 'Desktop launcher' \
  -pointsize 11 -fill '#888A85' -gravity SouthEast -annotate +10+8 'Version 2.5' \
  -alpha off -type TrueColor "BMP3:$out/splash.bmp"
