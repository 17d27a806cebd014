#!/usr/bin/env bash
# Regenerates the icon collection shipped in icon.lib: data/icons/*.ico and the
# category files data/icons/*.ini.
#
# The generated files are committed, so building Velmora never needs this
# script; run it only after changing the table below. Needs ImageMagick 6,
# Python 3 and Debian's tango-icon-theme (public domain).
#
#   tools/make_icons.sh            # rewrites data/icons/
#   tools/make_icons.sh OUTDIR     # writes somewhere else (e.g. to compare)
#
# Each icon holds the Tango picture at 16x16 and at 32x32. ImageMagick only
# turns the PNGs into raw RGBA pixels; the .ico container is written by the
# packer below, so no tool version or date ends up in a file and the output is
# byte-for-byte reproducible.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/data/icons}
tango=${TANGO_DIR:-/usr/share/icons/Tango}
im=${IM_CONVERT:-$(command -v convert-im6.q16 || command -v convert || true)}
python=${PYTHON:-python3}
[ -n "$im" ] || { echo "make_icons: ImageMagick's convert not found" >&2; exit 1; }
[ -d "$tango/16x16" ] || { echo "make_icons: $tango missing (apt-get install tango-icon-theme)" >&2; exit 1; }
export LC_ALL=C

# file name (at most 20 characters; the program refers to the first eleven by
# these exact names) | Tango picture | categories
table='
netsrch.ico   apps/internet-web-browser               Internet
filefind.ico  actions/system-search                   System
mycomp.ico    devices/computer                        Computer
explorer.ico  apps/system-file-manager                Computer
ctrpanel.ico  categories/preferences-system           System
recycle.ico   places/user-trash                       Computer
desktop.ico   places/user-desktop                     Computer
Misc04.ico    categories/applications-other           Accessories
CLIP01.ICO    categories/applications-accessories     Accessories
DISK06.ICO    devices/media-floppy                    Computer
DISKS04.ICO   devices/drive-removable-media           Computer
trashful.ico  status/user-trash-full                   Computer
folder.ico    places/folder                           Computer,Documents
folderop.ico  status/folder-open                      Computer,Documents
home.ico      places/user-home                        Computer
harddisk.ico  devices/drive-harddisk                  Computer
cdrom.ico     devices/drive-optical                   Computer,Multimedia
network.ico   places/network-workgroup                Computer,Internet
server.ico    places/network-server                   Computer,Internet
remote.ico    places/folder-remote                    Computer,Internet
wireless.ico  devices/network-wireless                Computer,Internet
printer.ico   devices/printer                         Computer,System
document.ico  mimetypes/x-office-document             Documents
text.ico      mimetypes/text-x-generic                Documents
sheet.ico     mimetypes/x-office-spreadsheet          Documents
present.ico   mimetypes/x-office-presentation         Documents
drawing.ico   mimetypes/x-office-drawing              Documents
html.ico      mimetypes/text-html                     Documents,Internet
archive.ico   mimetypes/package-x-generic             Documents
program.ico   mimetypes/application-x-executable      Documents,System
script.ico    mimetypes/text-x-script                 Documents
newdoc.ico    actions/document-new                    Documents
open.ico      actions/document-open                   Documents
save.ico      actions/document-save                   Documents
print.ico     actions/document-print                  Documents
addrbook.ico  mimetypes/x-office-address-book         Documents,Internet
calendar.ico  apps/office-calendar                    Accessories,Documents
office.ico    categories/applications-office          Documents
web.ico       categories/applications-internet        Internet
mail.ico      apps/internet-mail                      Internet
newmail.ico   actions/mail-message-new                Internet
chat.ico      apps/internet-group-chat                Internet
news.ico      apps/internet-news-reader               Internet
favorite.ico  emblems/emblem-favorite                 Internet
weather.ico   status/weather-few-clouds               Internet
refresh.ico   actions/view-refresh                    Internet
music.ico     mimetypes/audio-x-generic               Multimedia
video.ico     mimetypes/video-x-generic               Multimedia
picture.ico   mimetypes/image-x-generic               Multimedia
multimed.ico  categories/applications-multimedia      Multimedia
volume.ico    status/audio-volume-high                Multimedia
camera.ico    devices/camera-photo                    Multimedia
player.ico    devices/multimedia-player               Multimedia
graphics.ico  categories/applications-graphics        Multimedia
games.ico     categories/applications-games           Multimedia
joystick.ico  devices/input-gaming                    Multimedia
display.ico   devices/video-display                   Multimedia,System
calc.ico      apps/accessories-calculator             Accessories
charmap.ico   apps/accessories-character-map          Accessories
editor.ico    apps/accessories-text-editor            Accessories,Documents
terminal.ico  apps/utilities-terminal                 Accessories,System
help.ico      apps/help-browser                       Accessories,System
settings.ico  categories/preferences-desktop          System
system.ico    categories/applications-system          System
develop.ico   categories/applications-development     System
sysmon.ico    apps/utilities-system-monitor           System
update.ico    apps/system-software-update             System
users.ico     apps/system-users                       System
keyboard.ico  devices/input-keyboard                  System
mouse.ico     devices/input-mouse                     System
screensv.ico  apps/preferences-desktop-screensaver    System
wallpapr.ico  apps/preferences-desktop-wallpaper      System
theme.ico     apps/preferences-desktop-theme          System
fonts.ico     apps/preferences-desktop-font           System
lock.ico      actions/system-lock-screen              System
logout.ico    actions/system-log-out                  System
shutdown.ico  actions/system-shutdown                 System
info.ico      status/dialog-information               System
warning.ico   status/dialog-warning                   System
error.ico     status/dialog-error                     System
'

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Raw pixels of every picture at both sizes.
while read -r name source _; do
  [ -n "$name" ] || continue
  for size in 16 32; do
    png="$tango/${size}x${size}/$source.png"
    [ -f "$png" ] || { echo "make_icons: missing $png" >&2; exit 1; }
    "$im" "$png" -background none -gravity center -extent "${size}x${size}" \
      -depth 8 "rgba:$tmp/$name.$size.rgba"
  done
done <<<"$table"

# The .ico container and the category files.
cat >"$tmp/pack.py" <<'PY'
import os, struct, sys

tmp, out, table = sys.argv[1], sys.argv[2], sys.argv[3]

def dib(rgba, size):
    # A 32-bit BGRA bitmap, rows bottom-up, then the AND mask (1 = see-through)
    # for systems that draw icons through the mask.
    assert len(rgba) == size * size * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            if a == 0:
                r = g = b = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            pixels += bytes((b, g, r, a))
        mask += bits
    return header + bytes(pixels) + bytes(mask)

categories = {}
for line in table.splitlines():
    fields = line.split()
    if not fields:
        continue
    name, _, groups = fields
    if len(name) > 20:
        sys.exit('make_icons: name longer than 20 characters: ' + name)
    images = []
    for size in (16, 32):
        with open(os.path.join(tmp, '%s.%d.rgba' % (name, size)), 'rb') as f:
            images.append((size, dib(f.read(), size)))
    ico = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        ico += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        ico += data
    with open(os.path.join(out, name), 'wb') as f:
        f.write(ico)
    for group in groups.split(','):
        categories.setdefault(group, []).append(name)

for group, names in sorted(categories.items()):
    with open(os.path.join(out, group + '.ini'), 'wb') as f:
        f.write(''.join(n + '\r\n' for n in names).encode('ascii'))
PY

mkdir -p "$tmp/out"
"$python" "$tmp/pack.py" "$tmp" "$tmp/out" "$table"

# Replace the collection as a whole, so that a picture dropped from the table
# does not linger.
mkdir -p "$out"
find "$out" -maxdepth 1 -type f \( -iname '*.ico' -o -iname '*.ini' \) -delete
cp "$tmp"/out/* "$out"/
echo "make_icons: $(ls "$tmp/out" | grep -ci '\.ico$') icons, $(ls "$tmp/out" | grep -ci '\.ini$') categories in $out"
