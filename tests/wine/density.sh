#!/usr/bin/env bash
# The Windows checker under Wine at 144 dots per inch, the density Wine takes
# from HKEY_CURRENT_USER\Control Panel\Desktop\LogPixels: on a fresh prefix
# without a USB root hub the red verdict "This system DOSE NOT currently
# support USB" shows on one line, uncut, to its last word, as at 96 dpi, only
# half as large again. The verdict is shot at both densities and its red ink
# compared: one line high, above the label's bottom edge, its width, where
# each of its words starts and its last word's width one and a half times
# what they are at 96.
#
#   density.sh <windows build dir> <work dir>
set -uo pipefail
win_build=$(realpath "$1"); work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

mkdir -p "$work/disk"
cp "$win_build/checker/Busprobe.exe" "$work/disk/BUSPROBE.EXE"
printf '"Tarnwick Devices, Inc.","12 Mill Lane, Suite 4","Tel: +1 555 0100","Fax: +1 555 0101","support@tarnwick.example"\r\n' \
    > "$work/disk/Busprobe.dat"
prefix=$work/prefix
make_prefix "$prefix"
reg delete 'HKLM\Enum' /f

# Twips to pixels at a density, halves up, as the programs convert them.
px() { echo $((($1 * $2 + 720) / 1440)); }

# The red ink of a picture (raw RGB, width, height) that shows a text of
# `words` words: its bounds, and where its words start, told apart by the
# widest gaps between columns of ink (an italic text leaves gaps inside its
# words too, narrower ones), as "x0 y0 x1 y1 last-word-width start2 start3 ...".
red_ink() {
    python3 - "$1" "$2" "$3" "$4" <<'EOF'
import sys
data = open(sys.argv[1], 'rb').read()
w, h, words = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
red = b'\xff\x00\x00'
ink = [(x, y) for y in range(h) for x in range(w) if data[3 * (y * w + x):3 * (y * w + x) + 3] == red]
if not ink:
    print("0 0 0 0 0"); sys.exit()
xs = sorted({x for x, _ in ink}); ys = [y for _, y in ink]
gaps = sorted(((xs[i + 1] - xs[i], xs[i + 1]) for i in range(len(xs) - 1)), reverse=True)[:words - 1]
starts = sorted(s for _, s in gaps)
last = max(xs) - (starts[-1] if starts else min(xs)) + 1
print(min(xs), min(ys), max(xs), max(ys), last, *starts)
EOF
}

# verdict_at <dpi>: runs the checker at that density and sets "ink" to the
# red ink of the verdict's label (Label1 of Frame1: 240, 1800 twips into the
# client area, 5655 x 495), and label_h to the label's height in pixels.
ink=""; label_h=0
verdict_at() {
    local dpi=$1 w i x y lx ly lw
    WINEPREFIX=$prefix "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f > /dev/null 2>&1
    settle "$prefix"
    (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSPROBE.EXE' > /dev/null 2>&1) &
    local pid=$!
    w=$(window_of busprobe.exe) || { echo "no brand window at $dpi dpi"; return 1; }
    sleep 1
    # The company label (3720, 1320 twips), until the result window replaces the brand window.
    for i in 1 2 3; do
        click_at "$w" "$(px 3720 "$dpi")" "$(px 1320 "$dpi")"
        sleep 1
        [ "$(window_of busprobe.exe)" != "$w" ] && break
    done
    w=$(window_of busprobe.exe)
    read -r x y < <(xwininfo -id "$w" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
    lx=$((x + $(px 240 "$dpi"))); ly=$((y + $(px 1800 "$dpi")))
    lw=$(px 5655 "$dpi"); label_h=$(px 495 "$dpi")
    # The verdict blinks: shoot until it shows.
    for i in $(seq 20); do
        shot "verdict-$dpi"
        convert "$work/shots/verdict-$dpi.png" -crop "${lw}x${label_h}+${lx}+${ly}" +repage -depth 8 "rgb:$work/verdict-$dpi.rgb"
        ink=$(red_ink "$work/verdict-$dpi.rgb" "$lw" "$label_h" 7)
        [ "$(echo "$ink" | awk '{print $3}')" -gt 0 ] && break
        sleep 0.15
    done
    close_window "$w"
    wait_gone $pid
    settle "$prefix"
    echo "$dpi dpi: verdict ink (x0 y0 x1 y1 last-word word-starts) $ink in a label ${lw}x${label_h}"
}

verdict_at 96; ink96=$ink
verdict_at 144; ink144=$ink; h144=$label_h
read -r a0 b0 a1 b1 last96 starts96 <<< "$ink96"
read -r c0 d0 c1 d1 last144 starts144 <<< "$ink144"
# 1.5 times a length at 96 dpi, to within a tolerance in percent.
about_half_again() {  # about_half_again <at 144> <at 96> <percent>
    test $((100 * $1)) -ge $((150 * $2 * (100 - $3) / 100)) -a $((100 * $1)) -le $((150 * $2 * (100 + $3) / 100))
}
check "the verdict shows at 96 dpi" test "$a1" -gt 300
check "at 144 dpi on one line (its ink at most 1.7 times as high as at 96)" test $((10 * (d1 - d0))) -le $((17 * (b1 - b0)))
check "... above the label's bottom edge" test "$d1" -lt $((h144 - 1))
check "... half as wide again as at 96, to within a tenth" about_half_again $((c1 - c0)) $((a1 - a0)) 10
read -ra s96 <<< "$starts96"; read -ra s144 <<< "$starts144"
words_in_step() {
    local i
    [ ${#s96[@]} -eq 6 ] && [ ${#s144[@]} -eq 6 ] || return 1
    for i in 0 1 2 3 4 5; do about_half_again $((s144[i] - c0)) $((s96[i] - a0)) 8 || return 1; done
}
check "... each word starting half as far again from the first as at 96" words_in_step
check "... the last word \"USB\" drawn whole, half as wide again as at 96" about_half_again "$last144" "$last96" 25

wine_finish
