#!/usr/bin/env bash
# Phone check-in end to end: the real program on a 1920x1080 Xvfb with check-in open
# on 127.0.0.1, and Debian's Chromium, headless, as the attendee's phone.
#   1. Three photos and one level of five winners; check-in opened from the 活动工具 menu
#      (Ctrl + right press, its first item).
#   2. The address is read from the stage: a screenshot, its QR code decoded by zbarimg.
#   3. The phone opens it, types a name, attaches a sideways 2400x1800 photo (Exif
#      orientation 6) and sends it; the success page must say so.
#   4. photo/<name>.jpg is upright (red half on top), at most 1600 px, with a preview inside
#      its first 56,000 bytes; the stage's counter reads 已签到 1 人 (the counter line of the
#      panel, cut from a screenshot, matched against the line rendered for every digit).
#   5. A second check-in without a photo: photo/<name>.jpg is a name card, a decodable JPEG
#      with its preview; the counter reads 2.
#   6. The level drawn whole with the keyboard: the five winners are the three photos and
#      both people who checked in, and the panel comes back after every celebration.
#   7. The exit with 是; a phone checks in while its notice is open: refused, or saved in
#      进度.txt, never told 签到成功 and lost.
# Screenshots (the stage, the phone's form and success page) are left in <work folder>/shots.
# The Windows build (a path ending in .exe) runs under Wine (e2e_common.sh), its server on
# Winsock; Chromium stays native.
# npm ci puts puppeteer-core (no browser of its own) into <work folder>/node once.
#   tests/e2e/e2e_checkin.sh <path of luckydraw> <work folder in the build tree>
set -euo pipefail

program=$(readlink -f "${1:?usage: e2e_checkin.sh <path of luckydraw> <work folder>}")
base=${2:?usage: e2e_checkin.sh <path of luckydraw> <work folder>}
if [ -n "${LD_SANITIZE_BUILD:-}" ]; then
    echo "e2e_checkin: skipped in the sanitizer build (too slow for a browser's timeouts)"
    exit 0
fi
# Always an X server of its own: the screenshots must show this program alone, and the keys
# must not reach another test's window on a shared display.
if [ -z "${E2E_CHECKIN_OWN_DISPLAY:-}" ]; then
    export E2E_CHECKIN_OWN_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
for tool in xdotool convert import identify zbarimg iconv node npm; do
    command -v "$tool" >/dev/null || { echo "e2e_checkin: $tool is missing" >&2; exit 1; }
done
export CHROMIUM=${CHROMIUM:-/usr/bin/chromium}
[ -x "$CHROMIUM" ] || { echo "e2e_checkin: $CHROMIUM is missing" >&2; exit 1; }

export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset SESSION_MANAGER
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$base"
base=$(readlink -f "$base")
shots="$base/shots"
rm -rf "$shots"
mkdir -p "$shots" "$base/node"

# puppeteer-core as pinned by the lock file, installed again only when the lock changes.
if ! cmp -s "$here/package-lock.json" "$base/node/package-lock.json" ||
    [ ! -d "$base/node/node_modules/puppeteer-core" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$base/node/"
    (cd "$base/node" && timeout 300 npm ci --no-audit --no-fund --loglevel=error) ||
        { echo "e2e_checkin: npm ci failed" >&2; exit 1; }
fi
# Beside its node_modules, so that the import of puppeteer-core resolves.
cp "$here/checkin_browser.mjs" "$base/node/"

work=$(mktemp -d "${TMPDIR:-/tmp}/ld-checkin.XXXXXX")
event="$work/event"
E2E_SHOTS=$shots  # the screen at a failure goes beside the others
# shellcheck source=e2e_common.sh
. "$here/e2e_common.sh"
# Waits for the program's reactions: Wine's are slower (a window, a menu, a repaint).
patience=15
[ -z "$e2e_wine" ] || patience=45

# --- The event folder: three photos, one level of five winners, check-in on 127.0.0.1 ---
mkdir -p "$event/photo"
install_program "$event"
convert -size 320x240 xc:'#3060a0' "$event/photo/张三.jpg"
convert -size 320x240 xc:'#a06030' "$event/photo/李四.jpg"
convert -size 320x240 xc:'#30a060' "$event/photo/王五.jpg"
{
    crlf_gbk "[zbt]"
    crlf_gbk "特等奖=特等奖"
    crlf_gbk "特等奖人数=5"
    crlf_gbk "界面大小=窗口"
    crlf_gbk "[qiandao]"
    crlf_gbk "地址=127.0.0.1"
} >"$event/peizhi.a"
results="$event/抽奖结果.txt"

# The phone's photo, taken sideways: stored 2400x1800 with the left half red, and Exif
# orientation 6 (turn 90° clockwise to view), so upright it is 1800x2400 with red on top.
phone_photo="$work/phone.jpg"
convert -size 2400x1800 xc:'#d02020' -fill '#2040d0' -draw 'rectangle 1200,0 2399,1799' \
    -quality 90 "$phone_photo"
node -e '
const fs = require("fs");
const file = process.argv[1], jpeg = fs.readFileSync(file);
// APP1: "Exif", a big-endian TIFF header, one IFD entry: Orientation (0x0112) SHORT = 6.
const exif = Buffer.from("ffe10022" + "457869660000" + "4d4d002a00000008" +
    "0001" + "011200030000000100060000" + "00000000", "hex");
const at = jpeg[3] === 0xe0 ? 4 + jpeg.readUInt16BE(4) : 2;  // after the JFIF header
fs.writeFileSync(file, Buffer.concat([jpeg.subarray(0, at), exif, jpeg.subarray(at)]));
' "$phone_photo"
[ "$(identify -format '%[orientation]' "$phone_photo")" = RightTop ] ||
    fail "the generated photo carries no orientation 6"

# --- Screen reading ---
# The stage's picture (its window's part of the screen) into $1.
shoot_stage() {
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "${stage_w}x${stage_h}+${stage_x}+${stage_y}" +repage "$1"
}

# The check-in panel's default place: 360 px wide, 40 px from the stage's right edge, 110 px
# from its top; the code in it 300 px at (30, 30), the counter line 34 px high at y 441.
panel_x() { echo $((stage_w - 400)); }
# The panel (its code and counter) cut from a stage picture $1 into $2.
cut_panel() { convert "$1" -crop "360x480+$(panel_x)+110" +repage "$2"; }

# What the QR code in picture $1 carries; fails unless there is exactly one code.
qr_text() {
    local out
    out=$(zbarimg -q "$1" 2>/dev/null) || return 1
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || return 1
    printf '%s\n' "${out#QR-Code:}"
}

# The panel is shown (the stage idle) when its code scans where the panel belongs.
panel_scans() {
    shoot_stage "$work/stage.png"
    cut_panel "$work/stage.png" "$work/panel.png"
    [ "$(qr_text "$work/panel.png" 2>/dev/null)" = "$url" ]
}

# The counter line as white text on black: at this threshold the panel's dark red and the
# stage behind it go black, the white text stays. A PGM, for the digit reader below.
counter_line() {
    convert "$1" -crop "352x34+$(($(panel_x) + 4))+551" +repage -colorspace gray \
        -threshold 55% -depth 8 pgm:"$2"
}
# The same line as the panel draws it (Noto Sans CJK SC Bold, 24 px), for every digit.
for n in 0 1 2 3 4 5 6 7 8 9; do
    convert -size 352x34 xc:black -font Noto-Sans-CJK-SC-Bold -pointsize 24 -fill white \
        -gravity center -annotate +0+0 "已签到 $n 人" -colorspace gray -threshold 55% \
        -depth 8 pgm:"$work/count-$n.pgm"
done
# Reads the digit of the counter line: in "已签到 N 人" the digit is the second run of inked
# columns from the right (人, a space, the digit). Its box, in a square of 12x12 cells of ink
# coverage, is matched against the same box of each rendered line; Qt's and ImageMagick's
# rasterising differ by a pixel here and there, the digits' shapes by far more.
# Prints "<digit> <distance> <next best distance>".
read_counter() {
    shoot_stage "$work/counter-stage.png"
    counter_line "$work/counter-stage.png" "$work/counter.pgm"
    node -e '
const fs = require("fs");
function digitCells(file) {
  const data = fs.readFileSync(file);
  const head = data.toString("latin1", 0, 64).split(/\s+/);  // P5 width height 255
  const w = +head[1], h = +head[2], pixels = data.subarray(data.length - w * h);
  const ink = (x, y) => pixels[y * w + x] > 127;
  const inkedColumn = (x) => { for (let y = 0; y < h; y++) if (ink(x, y)) return true; return false; };
  let x = w - 1, runs = [];
  while (x >= 0 && runs.length < 2) {
    while (x >= 0 && !inkedColumn(x)) x--;
    const right = x;
    while (x >= 0 && inkedColumn(x)) x--;
    if (right >= 0) runs.push([x + 1, right]);
  }
  if (runs.length < 2) return null;
  const [left, right] = runs[1];
  let top = h, bottom = -1;
  for (let y = 0; y < h; y++)
    for (let c = left; c <= right; c++) if (ink(c, y)) { top = Math.min(top, y); bottom = y; }
  const cw = right - left + 1, ch = bottom - top + 1, cells = [];
  // The box keeps its proportions inside a square of cells: a 1 stays narrow.
  const side = Math.max(cw, ch), cols = 12, rows = 12;
  const ox = left - (side - cw) / 2, oy = top - (side - ch) / 2;
  for (let r = 0; r < rows; r++)
    for (let c = 0; c < cols; c++) {
      let on = 0, all = 0;
      for (let y = Math.floor(oy + r * side / rows); y < oy + (r + 1) * side / rows; y++)
        for (let xx = Math.floor(ox + c * side / cols); xx < ox + (c + 1) * side / cols; xx++) {
          all++;
          if (xx >= left && xx <= right && y >= top && y <= bottom && ink(xx, y)) on++;
        }
      cells.push(all ? on / all : 0);
    }
  return cells;
}
const screen = digitCells(process.argv[1]);
if (!screen) { console.log("none 999 999"); process.exit(0); }
const scores = [];
for (let n = 0; n <= 9; n++) {
  const cells = digitCells(process.argv[2] + "-" + n + ".pgm");
  scores.push([n, cells.reduce((sum, v, i) => sum + Math.abs(v - screen[i]), 0)]);
}
scores.sort((a, b) => a[1] - b[1]);
console.log(scores[0][0], scores[0][1].toFixed(1), scores[1][1].toFixed(1));
' "$work/counter.pgm" "$work/count"
}
counter_reads() {
    local reading
    read -r -a reading <<<"$(read_counter)"
    last_reading="${reading[*]}"
    # A clear winner: every other digit at least twice as far.
    [ "${reading[0]}" = "$1" ] && awk -v d="${reading[1]}" -v e="${reading[2]}" 'BEGIN { exit !(2 * d < e) }' 
}

# photo/<name>.jpg decodes, and an embedded JPEG (the preview the roll uses) ends within the
# first 56,000 bytes and decodes too. Prints the photo's width and height.
check_photo() {
    local file="$event/photo/$1.jpg"
    [ -s "$file" ] || fail "photo/$1.jpg was not written"
    identify -regard-warnings "$file" >/dev/null 2>&1 || fail "photo/$1.jpg does not decode"
    node -e '
const fs = require("fs");
const jpeg = fs.readFileSync(process.argv[1]);
const start = jpeg.indexOf(Buffer.from([0xff, 0xd8, 0xff]), 2);
const end = start < 0 ? -1 : jpeg.indexOf(Buffer.from([0xff, 0xd9]), start);
if (jpeg.readUInt16BE(0) !== 0xffd8 || start < 0 || end < 0 || end + 2 > 56000) process.exit(1);
fs.writeFileSync(process.argv[2], jpeg.subarray(start, end + 2));
' "$file" "$work/preview.jpg" || fail "photo/$1.jpg has no preview within its first 56,000 bytes"
    identify -regard-warnings "$work/preview.jpg" >/dev/null 2>&1 ||
        fail "the preview in photo/$1.jpg does not decode"
    identify -format '%w %h' "$file"
}

# --- 1. The program, check-in opened from the 活动工具 menu ---
start_program
wait_for $patience stage_window >/dev/null || fail "the draw screen does not appear"
stage=$(stage_window)
focus "$stage"
eval "$(xdotool getwindowgeometry --shell "$stage")"
stage_x=$X stage_y=$Y stage_w=$WIDTH stage_h=$HEIGHT
[ "$stage_w" -ge 1280 ] || fail "the stage is only $stage_w px wide"

xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) keydown ctrl click 3 keyup ctrl
sleep 0.6
xdotool mousemove $((stage_x + 100)) $((stage_y + 314)) click 1

# --- 2. The address, from the code on the screen ---
url=""
read_url() {
    shoot_stage "$shots/stage-open.png"
    url=$(qr_text "$shots/stage-open.png") || return 1
}
wait_for $patience read_url || fail "no QR code on the stage after 手机签到"
[[ "$url" =~ ^http://127\.0\.0\.1:[0-9]+/\?t=([2-9a-hjkmnp-z]{8})$ ]] ||
    fail "the code on the stage reads '$url'"
token=${BASH_REMATCH[1]}
iconv -f GB18030 -t UTF-8 "$event/peizhi.a" | tr -d '\r' | grep -qx "口令=$token" ||
    fail "the token on the screen is not the one kept in peizhi.a"
panel_scans || fail "the panel is not where its default layout puts it"
wait_for $patience counter_reads 0 || fail "the counter does not read 0 before any check-in ($last_reading)"
echo "e2e_checkin: counter before: $last_reading (digit, distance, next best)"

# --- 3, 4. A check-in with a sideways photo ---
first=测试员甲
node "$base/node/checkin_browser.mjs" "$url" "$first" "$shots/phone-photo" "$phone_photo" ||
    fail "the check-in of $first in Chromium"
read -r w h <<<"$(check_photo "$first")"
[ "$h" -gt "$w" ] && [ "$h" -le 1600 ] || fail "photo/$first.jpg is ${w}x$h, not upright within 1600 px"
# The top half red, the bottom half blue: turned the right way, not only turned.
halves=$(convert "$event/photo/$first.jpg" -resize '1x2!' -depth 8 -format '%[pixel:p{0,0}] %[pixel:p{0,1}]' info:)
[[ "$halves" =~ ^srgb\(([0-9]+),[0-9]+,([0-9]+)\)\ srgb\(([0-9]+),[0-9]+,([0-9]+)\)$ ]] ||
    fail "photo/$first.jpg: unexpected colours '$halves'"
[ "${BASH_REMATCH[1]}" -gt 150 ] && [ "${BASH_REMATCH[2]}" -lt 100 ] &&
    [ "${BASH_REMATCH[3]}" -lt 100 ] && [ "${BASH_REMATCH[4]}" -gt 150 ] ||
    fail "photo/$first.jpg is not upright: top and bottom are $halves"
wait_for $patience counter_reads 1 || fail "the counter does not read 1 after a check-in ($last_reading)"
echo "e2e_checkin: counter after one check-in: $last_reading"
shoot_stage "$shots/stage-after-checkin.png"

# --- 5. A check-in without a photo: a name card ---
second=测试员乙
node "$base/node/checkin_browser.mjs" "$url" "$second" "$shots/phone-card" ||
    fail "the check-in of $second in Chromium"
check_photo "$second" >/dev/null
wait_for $patience counter_reads 2 || fail "the counter does not read 2 after two check-ins ($last_reading)"
echo "e2e_checkin: counter after two check-ins: $last_reading"

# --- 6. The level drawn whole: both people who checked in are in the pool ---
# The level selector at the bottom left: a click opens its list, Down and Return choose.
# Wine's list opens on a press held a moment on the selector's arrow; Home marks the first.
# There the layout counts the screen's height from the window's top, below the client's.
if [ -n "$e2e_wine" ]; then
    xdotool mousemove $((stage_x + 277)) $((stage_y + $(xdotool getdisplaygeometry | cut -d' ' -f2) - 65)) \
        sleep 0.3 mousedown 1 sleep 0.2 mouseup 1 sleep 0.5 key Home Return
else
    xdotool mousemove $((stage_x + 220)) $((stage_y + stage_h - 64)) click 1 sleep 0.5 key Down Return
fi
sleep 0.5
lines() { if [ -e "$results" ]; then tr -cd '\n' <"$results" | wc -c; else echo 0; fi; }
for round in 1 2 3 4 5; do
    before=$(lines)
    xdotool key Return
    sleep 1
    [ "$(lines)" -eq "$before" ] || fail "round $round: the start recorded a winner"
    xdotool key Return
    wait_for $patience eval '[ "$(lines)" -gt '"$before"' ]' || fail "round $round: no winner recorded"
    # The celebration over, the panel is back (it steps aside for the roll).
    wait_for $patience panel_scans || fail "round $round: the panel does not come back after the draw"
done
cp "$work/stage.png" "$shots/stage-after-draw.png"
expected=$(printf '%s\n' 张三 李四 王五 "$first" "$second" | sort)
drawn=$(iconv -f GB18030 -t UTF-8 "$results" | tr -d '\r' | sed 's/  ------  特等奖$//' | sort)
[ "$drawn" = "$expected" ] || fail "抽奖结果.txt holds: ${drawn//$'\n'/ }; expected: ${expected//$'\n'/ }"
iconv -f GB18030 -t UTF-8 "$results" | grep -q "^$first  ------  特等奖"$'\r'"\$" ||
    fail "抽奖结果.txt: the line of $first is not '$first  ------  特等奖' CR LF"
# --- 7. A check-in as the program exits: saved with the draw, or refused; never told
# 签到成功 and then lost. The phone tries while the exit's notice is still open.
xdotool mousemove $((stage_x + 60)) $((stage_y + 300)) click 3
sleep 0.6
xdotool key Up Return
answer "退出是否保存进度？" y
wait_for $patience visible_window "提示" || fail "no notice after the exit's save"
third=测试员丙
accepted=0
node "$base/node/checkin_browser.mjs" "$url" "$third" "$shots/phone-at-exit" >/dev/null 2>&1 && accepted=1
answer "提示" Return
wait_for $patience program_gone || fail "the program does not end after the exit"
pid=""
if [ "$accepted" = 1 ]; then
    iconv -f GB18030 -t UTF-8 "$event/进度.txt" | tr -d '\r' | grep -qx "$third" ||
        fail "$third was told 签到成功 during the exit but is not in 进度.txt"
fi
echo "e2e_checkin: a check-in during the exit was $([ "$accepted" = 1 ] && echo saved || echo refused)"
echo "e2e_checkin: passed (photo ${w}x$h, screenshots in $shots)"
