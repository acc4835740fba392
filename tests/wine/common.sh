# What the tests under Wine share; source it after setting work (the work
# folder, absolute). Empties the work folder, starts a private
# Xvfb (stopped at exit together with the Wine servers of "$work/prefix" and
# "$work/linux-prefix"), and gives check, the X and Wine helpers, the machine
# (make_prefix, install_adapter, device_key_there) and the programs' runs
# (run_checker, start_remover, removal_run, and pnp_requests for what a
# removal asked of SetupAPI), which work on the prefix named by $prefix.

wine_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine || echo /usr/lib/wine/wine64)

passed=0; failed=0
check() {  # check "what" command...
    local what=$1; shift
    if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

rm -rf "$work"; mkdir -p "$work/shots"
# A display of our own.
for n in $(seq 91 120); do [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }; done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display
trap 'kill $xvfb 2>/dev/null; for p in "$work"/prefix "$work"/linux-prefix; do WINEPREFIX=$p wineserver -k 2>/dev/null; done' EXIT
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

shot() { import -window root "$work/shots/$1.png"; }
# Wine takes a click only after it has seen the pointer arrive.
click_at() {
    xdotool mousemove 0 0; sleep 0.1
    xdotool mousemove --window "$1" "$2" "$3"; sleep 0.3; xdotool click 1
}
# Pixels of one exact colour in a screenshot.
count_colour() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:round(mean*w*h)]" info:; }
# The first visible window of a Wine program, waiting for it.
window_of() {
    local class=$1 id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --class "$class" 2>/dev/null | tail -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
wait_gone() { for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done; return 1; }
# Closes a window as the user does: Alt+F4 on it.
close_window() { xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.2; xdotool key alt+F4; }
# Answers the message box of that title with a key, once it shows.
answer_box() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1)
        [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || return 1
    xdotool windowfocus --sync "$id" 2>/dev/null; sleep 0.3
    [ -n "${3:-}" ] && shot "$3"
    xdotool key "$2"
}
# The keys below Enum, one path a line.
export_keys() {
    WINEPREFIX=$1 "$wine" reg export 'HKLM\SYSTEM\CurrentControlSet\Enum' "Z:${2//\//\\}" /y > /dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$2" | grep '^\[' | tr -d '\r' | sort   # Wine writes UTF-16
}
# Ends whatever still runs in a prefix, so the next step starts clean.
settle() { WINEPREFIX=$1 wineserver -k 2>/dev/null; WINEPREFIX=$1 timeout 60 wineserver -w; }

# --- the machine: a fresh prefix with the driver disk as A: ---------------------
# With wine_arch=win32 set, the prefix is a 32-bit Windows XP; else Wine's
# 64-bit default.
make_prefix() {  # make_prefix <dir> [driver disk folder, else $work/disk]
    local p=$1 disk=${2:-$work/disk}
    if [ "${wine_arch:-win64}" = win32 ]; then
        WINEARCH=win32 WINEPREFIX=$p "$wine" wineboot -i > "$work/wineboot.log" 2>&1
        WINEPREFIX=$p "$wine" winecfg -v winxp >> "$work/wineboot.log" 2>&1
    else
        WINEPREFIX=$p "$wine" wineboot -i > "$work/wineboot.log" 2>&1
    fi
    # The desktop's fonts by their metric-compatible stand-ins, as a Windows machine has them.
    local r='HKCU\Software\Wine\Fonts\Replacements'
    WINEPREFIX=$p "$wine" reg add "$r" /v "Times New Roman" /d "Liberation Serif" /f > /dev/null 2>&1
    WINEPREFIX=$p "$wine" reg add "$r" /v "Arial" /d "Liberation Sans" /f > /dev/null 2>&1
    WINEPREFIX=$p wineserver -w
    mkdir -p "$disk"
    ln -sfn "$disk" "$p/dosdevices/a:"
}
reg() { WINEPREFIX=$prefix "$wine" reg "$@" > /dev/null 2>&1; }

# --- the checker --------------------------------------------------------------
run_checker() {  # run_checker <name>: the verdict is shot on both sides of a blink
    (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSPROBE.EXE' > /dev/null 2>&1) &
    local pid=$! w
    w=$(window_of busprobe.exe) || { echo "no brand window"; return 1; }
    sleep 1; shot "$1-brand"
    # The company label: 3720, 1320 twips into the client area. Wine may let
    # a click at a window it has only just mapped go by: try again then.
    local attempt
    for attempt in 1 2 3; do
        click_at "$w" 260 95
        sleep 1
        verdict_shown && break
    done
    # The verdict blinks: shoot until it shows in its colour.
    local i
    for i in 1 2 3 4 5 6 7 8; do
        shot "$1-verdict"
        [ "$(count_colour "$work/shots/$1-verdict.png" '#00FF00')" -gt 200 ] && break
        [ "$(count_colour "$work/shots/$1-verdict.png" '#FF0000')" -gt 200 ] && break
        sleep 0.1
    done
    w=$(window_of busprobe.exe)
    close_window "$w"
    wait_gone $pid
    local gone=$?
    settle "$prefix"
    return $gone
}
# A result window (408 or 409 pixels wide) is on screen.
verdict_shown() {
    local v
    for v in $(xdotool search --onlyvisible --class busprobe.exe 2>/dev/null); do
        xwininfo -id "$v" | grep -qE 'Width: 40[89]$' && return 0
    done
    return 1
}
# Pixels of a colour in the verdict shot.
verdict_colour() { count_colour "$work/shots/$1-verdict.png" "$2"; }

# --- the remover ----------------------------------------------------------------
install_adapter() {  # install_adapter <prefix>
    local p=$1
    WINEPREFIX=$p "$wine" regedit /S "$(winepath_of "$wine_here/adapter-nt.reg")" > /dev/null 2>&1 || \
        WINEPREFIX=$p "$wine" reg import "$(winepath_of "$wine_here/adapter-nt.reg")" > /dev/null 2>&1
    mkdir -p "$p/drive_c/windows/system32/drivers" "$p/drive_c/windows/inf"
    echo driver > "$p/drive_c/windows/system32/drivers/QRXUSB.SYS"
    echo inf > "$p/drive_c/windows/inf/QRXSER.INF"
    echo inf > "$p/drive_c/windows/inf/QRXPORT.INF"
    echo other > "$p/drive_c/windows/inf/MSPORTS.INF"
    # The adapter's driver package as the system installed it, and another driver's.
    oem_inf 'USB\VID_0E4B&PID_0201' > "$p/drive_c/windows/inf/oem7.inf"
    echo precompiled > "$p/drive_c/windows/inf/oem7.pnf"
    oem_inf 'USB\VID_046D&PID_C00E' > "$p/drive_c/windows/inf/oem8.inf"
    echo precompiled > "$p/drive_c/windows/inf/oem8.pnf"
    # Files nobody named: on C: and in a home folder the prefix links to.
    echo keep > "$p/drive_c/victim.txt"
    mkdir -p "$p/drive_c/users/victim" "$work/home-$(basename "$p")/Desktop"
    echo precious > "$work/home-$(basename "$p")/Desktop/photo.jpg"
    ln -sfn "$work/home-$(basename "$p")/Desktop" "$p/drive_c/users/victim/Desktop"
    settle "$p"
}
winepath_of() { echo "Z:${1//\//\\}"; }
# A setup-information file for a USB device, of more than the 50 fields the remover reads.
oem_inf() {
    printf '%s\r\n' '[Version]' 'Signature="$Windows NT$"' 'Class=Ports' 'Provider=%Mfg%' '' '[Manufacturer]' \
        '%Mfg%=Models,NTamd64' '' '[Models.NTamd64]' "%Device%=Install,$1" ''
    for n in $(seq 1 50); do printf '; line %s\r\n' "$n"; done
}

start_remover() {  # start_remover [file]: with a file, Wine's traces of setup and file calls go there
    if [ -n "${1:-}" ]; then
        : > "$1"
        (cd "$prefix/drive_c" && WINEDEBUG=-all,trace+setupapi,trace+file WINEPREFIX=$prefix "$wine" 'A:\BUSCLEAN.EXE' \
            > /dev/null 2>> "$1") &
    else
        (cd "$prefix/drive_c" && WINEPREFIX=$prefix "$wine" 'A:\BUSCLEAN.EXE' > /dev/null 2>&1) &
    fi
    remover=$!
    remover_window=$(window_of busclean.exe)
    sleep 1
}

# The message box that ends a removal run, "Restart" or "Uninstall Fail"
# (echoed; "none" when neither shows), answered with Return.
ending_box() {  # ending_box <shot name>
    local title
    for _ in $(seq 300); do
        for title in Restart "Uninstall Fail"; do
            if xdotool search --onlyvisible --name "^$title\$" > /dev/null 2>&1; then
                answer_box "$title" Return "$1"
                echo "$title"
                return
            fi
        done
        sleep 0.2
    done
    echo none
}
# removal_run <name>: the remover from A: through tick, Uninstall and Yes to the
# box that ends the run, whose title goes into $box; Wine's traces of setup and
# file calls in $work/<name>.log.
removal_run() {
    start_remover "$work/$1.log"
    xdotool windowfocus --sync "$remover_window" 2>/dev/null
    xdotool key --window "$remover_window" Tab space Tab Tab Return   # Check1, Picture1, Uninstall
    check "$1: the confirmation box" answer_box "Uninstall driver" Return "$1-confirm"
    box=$(ending_box "$1-end")
    check "$1: the remover ends after its last box" wait_gone "$remover"
    settle "$prefix"
}
# What a traced run asked of SetupAPI's device installer, a line a call:
# "open <instance>" where it opened a device instance, "remove <instance>"
# where it then called the class installer with DIF_REMOVE (5) for it, from the
# same thread.
pnp_requests() {  # pnp_requests <trace file>
    tr -d '\r' < "$1" | awk -F'"' '
        /:trace:setupapi:SetupDiOpenDeviceInfoA / { split($0, t, ":"); thread = t[1]; id = $2; gsub(/\\\\/, "\\", id); print "open " id }
        /:trace:setupapi:SetupDiCallClassInstaller function 0x5,/ { split($0, t, ":"); print "remove " (t[1] == thread ? id : "(from another thread)") }'
}
requests_are() {  # requests_are <run> <expected>; shows what was asked when it differs
    [ "$(pnp_requests "$work/$1.log")" = "$2" ] && return 0
    echo "asked of SetupAPI in $1:"; pnp_requests "$work/$1.log"; return 1
}
# The requests of a run that opened and removed these instances, in order.
opened_and_removed() { local id; for id; do printf 'open %s\nremove %s\n' "$id" "$id"; done; }
# A key of the device tree (below SYSTEM\CurrentControlSet\Enum) in $prefix.
device_key_there() { WINEPREFIX=$prefix "$wine" reg query "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\$1" > /dev/null 2>&1; }
device_key_gone() { ! device_key_there "$1"; }

# The closing line; the status is 1 when a check failed.
wine_finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
