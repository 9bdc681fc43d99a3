#!/usr/bin/env bash
# Takes the README's screenshot: builds a small collage from a library
# template and sample photos, opens it in the editor on a virtual X display
# and grabs the screen. Needs xvfb, xdotool and imagemagick.
#   tools/screenshot.sh [BIN_FOLDER] [OUTPUT.png]
set -euo pipefail
bin="$(realpath "${1:-build/release/bin}")"
out="$(realpath -m "${2:-docs/screenshot.png}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"

python3 - "$bin" "$work" <<'PY'
import os, re, shutil, sys
bin, work = sys.argv[1], sys.argv[2]
tpl = os.path.join(bin, "template", "Collage")
src = os.path.join(tpl, "Feature and three_CLV", "Info.cfg")
text = open(src, encoding="utf-8").read()
photos = ["alpine_peaks.jpg", "aurora.jpg", "autumn_valley.jpg", "city_lights.jpg", "desert_dunes.jpg"]
have = sorted(os.listdir(os.path.join(bin, "Photos")))
photos = [p for p in photos if p in have] + [p for p in have if p not in photos]
proj = os.path.join(work, "Holiday_CLV")
os.makedirs(os.path.join(proj, "UserImage"))
os.makedirs(os.path.join(proj, "Clipart", "Customize"))
n = 0
def photo_layer(m):
    global n
    body = m.group(2)
    loc = re.search(r'<Location Left="(-?\d+)" Top="(-?\d+)" Right="(-?\d+)" Bottom="(-?\d+)"', body)
    w = int(loc.group(3)) - int(loc.group(1)); h = int(loc.group(4)) - int(loc.group(2))
    name = photos[n % len(photos)]; n += 1
    shutil.copy(os.path.join(bin, "Photos", name), os.path.join(proj, "UserImage", name))
    pw, ph = 1600, 1200
    if pw * h > ph * w: cw, ch = ph * w // h, ph
    else: cw, ch = pw, pw * h // w
    x, y = (pw - cw) // 2, (ph - ch) // 2
    body = body.replace("<ImageType>3</ImageType>", "<ImageType>0</ImageType>\n\t\t<Photo>%s</Photo>" % name)
    body = re.sub(r'<FlipH>.*?</FlipH>\s*<FlipV>.*?</FlipV>\s*', "", body)
    body = re.sub(r'<ViewedRect [^>]*/>', '<ViewedRect Left="%d" Top="%d" Right="%d" Bottom="%d" />' % (x, y, x + cw - 1, y + ch - 1), body)
    if "<Shadow" not in body:
        body = body.rstrip() + '\n\t\t<Shadow OffsetX="8" OffsetY="8" Transparent="120" Smooth="6" Color="0" />\n\t'
    return m.group(1) + body + m.group(3)
text = re.sub(r'(<Layer\d+>)(.*?)(</Layer\d+>)', photo_layer, text, flags=re.S)
text = re.sub(r'<BKType>\d+</BKType>\s*<BKColor>-?\d+</BKColor>', '<BKType>1</BKType>\n\t\t<BKColor>15263976</BKColor>', text)
open(os.path.join(proj, "Info.cfg"), "w", encoding="utf-8").write(text)
open(os.path.join(work, "Holiday.clv"), "w", encoding="utf-8").write(
    '<?xml version="1.0" encoding="UTF-8"?>\n<File>\n\t<Version>2011.5.02</Version>\n'
    '\t<Type>Project</Type>\n\t<Folder>Holiday_CLV</Folder>\n</File>\n')
PY

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
xvfb-run -a -s "-screen 0 1440x900x24" bash -c '
    "$1/velmora" "$2/Holiday.clv" &
    pid=$!
    sleep 6
    win=$(xdotool search --sync --onlyvisible --name "Velmora" | tail -1)
    xdotool windowmove "$win" 0 0 windowsize "$win" 1440 900
    sleep 2
    # select the large photo so its handles show
    xdotool mousemove 730 460 click 1
    sleep 1
    import -window root "$3"
    kill $pid
' _ "$bin" "$work" "$out"
echo "wrote $out"
