#!/usr/bin/env bash
# Takes the README's screenshot: builds a small collage from a library
# template and sample photos, opens it in the editor on a virtual X display
# and grabs the screen. Then walks through the pages and windows the user
# guide shows and grabs each into the guide's pictures. Needs xvfb, xdotool
# and imagemagick.
#   tools/screenshot.sh [BIN_FOLDER] [OUTPUT.png] [GUIDE_PICTURES_FOLDER]
set -euo pipefail
bin="$(realpath "${1:-build/release/bin}")"
out="$(realpath -m "${2:-docs/screenshot.png}")"
guide="$(realpath -m "${3:-tools/resgen/help/images}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")" "$guide"

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
    set -u
    bin=$1 work=$2 out=$3 guide=$4
    # a guide picture: the screen, or the part of it given as WxH+X+Y
    shot() { import -window root ${2:+-crop "$2"} +repage -quality 85 "$guide/$1"; }
    click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-1.5}"; }
    dialog() { xdotool search --sync --onlyvisible --name "$1" | tail -1; }
    window_shot() { # the dialog titled $1 into $2, then closed with Escape
        local w; w=$(dialog "$1"); sleep 1
        eval "$(xdotool getwindowgeometry --shell "$w")"
        shot "$2" "${WIDTH}x${HEIGHT}+${X}+${Y}"
        xdotool windowactivate --sync "$w" 2>/dev/null; xdotool key Escape; sleep 1
    }

    # the template chooser of a fresh start
    "$bin/velmora" &
    pid=$!
    w=$(dialog "Template"); sleep 3
    eval "$(xdotool getwindowgeometry --shell "$w")"
    shot templates.jpg "${WIDTH}x${HEIGHT}+${X}+${Y}"
    kill $pid; wait $pid 2>/dev/null

    "$bin/velmora" "$work/Holiday.clv" &
    pid=$!
    sleep 6
    win=$(xdotool search --sync --onlyvisible --name "Velmora" | tail -1)
    xdotool windowmove "$win" 0 0 windowsize "$win" 1440 900
    sleep 2
    # select the large photo so its handles show
    click 730 460 1
    import -window root "$out"
    shot main-window.jpg
    panel=300x620+0+150   # the side panel under the top bar
    shot photos.jpg $panel
    click 574 70; shot masks.jpg 760x620+0+150        # Modify: masks beside the canvas
    click 246 165 3; shot filters.jpg 760x620+0+150
    click 253 70; shot border.jpg $panel
    click 467 70; shot output.jpg $panel
    click 153 70 2; xdotool type "Summer 2026"; sleep 1; click 730 460; shot text.jpg
    click 730 460 1; click 385 188 2; window_shot "Crop" crop.jpg
    click 730 460 1; click 385 285 2; window_shot "Shadow" shadow.jpg
    click 359 70 2; window_shot "Collage Setting" settings.jpg
    kill $pid
' _ "$bin" "$work" "$out" "$guide"
echo "wrote $out and the guide pictures in $guide"
