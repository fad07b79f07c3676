#!/usr/bin/env bash
# Tarvik.exe under Wine with a virtual display, as on a Hungarian Windows (LC_ALL=hu_HU.UTF-8:
# ANSI code page 1250).   tarvik_test.sh CASE PATH/Tarvik.exe
# Cases: startup (window, menu, registry), pictures (GDI and DirectDraw against the screen),
# input (keys typed with xdotool, the on-screen monitor), statusbar (the bar after the actions
# that redraw the window), commands (every menu command in script mode), sound (both drivers
# with and without an ALSA device). Runs in the prefix named by TARVIK_WINEPREFIX.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/testlib.sh"
run="$here/run-wine.sh"
case_name="${1:?usage: tarvik_test.sh CASE PATH/Tarvik.exe}"
exe="${2:?usage: tarvik_test.sh CASE PATH/Tarvik.exe}"
[ -f "$exe" ] || { echo "$exe is missing: build the Windows programs (scripts/build.sh win)" >&2; exit 1; }
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"
[ -n "${TARVIK_WINEPREFIX:-}" ] || { echo "TARVIK_WINEPREFIX is not set (CTest sets it)" >&2; exit 1; }
export DISPLAY=":$(cat "$TARVIK_WINEPREFIX/.display")"

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT
cd "$work"
# An ALSA configuration whose default device swallows everything.
printf 'pcm.!default { type null }\n' >null-alsa.conf
alsa_env=()

# tarvik SCRIPT-LINES ARGS...: runs the program with the script in the work folder, leaving
# $status and the log (standard error) in log.txt.
tarvik() {
  printf '%s\n' "$1" >script.txt
  shift
  "$run" --cwd "$work" --display --timeout 180 --env LC_ALL=hu_HU.UTF-8 "${alsa_env[@]}" \
    --stderr "$work/log.txt" --stdout "$work/out.txt" "$exe" /script script.txt "$@"
  status=$?
  return "$status"
}


# A run fed as it goes: live_start ARGS... starts the program with its script read from a named
# pipe and its log growing in log.txt; live LINE... sends script lines; advance N lets N frames
# run and waits until they have, leaving the screen's text in $screen; live_stop ends the script
# and waits for the program's exit, leaving $status. While the pipe has no line for it, the
# program waits for one without taking messages, so a heartbeat of comment lines keeps the
# window answering.
live_start() {
  rm -f script.fifo log.txt step-*.txt step-*.txt.done
  mkfifo script.fifo
  "$run" --cwd "$work" --display --timeout 600 --env LC_ALL=hu_HU.UTF-8 "${alsa_env[@]}" \
    --stdin "$work/script.fifo" --stderr "$work/log.txt" --stdout "$work/out.txt" \
    "$exe" /script - "$@" &
  live_pid=$!
  exec 3>script.fifo
  (while printf '#\n'; do sleep 0.05; done) >&3 2>/dev/null &
  heartbeat_pid=$!
  steps=0
}
live() { printf '%s\n' "$@" >&3; }
advance() {
  steps=$((steps + 1))
  screen="$work/step-$steps.txt"
  # The second file appears once the first is whole.
  live "frames $1" "screen-text $screen" "screen-text $screen.done"
  wait_for 120 test -e "$screen.done"
}
live_stop() {
  kill "$heartbeat_pid" 2>/dev/null
  wait "$heartbeat_pid" 2>/dev/null
  exec 3>&-
  wait "$live_pid"
  status=$?
}
# find_window: sets $window to the program's X window, if it has one.
find_window() { window="$(xdotool search --name '^Tarvik' 2>/dev/null | head -1)"; [ -n "$window" ]; }
# count TEXT: how many lines of the log hold TEXT; more_than TEXT N: more than N of them.
count() { grep -cF -- "$1" log.txt; }
more_than() { [ "$(count "$1")" -gt "$2" ]; }

reg() { "$run" --stdout "$work/reg.txt" "$TARVIK_WINEPREFIX/drive_c/windows/system32/reg.exe" "$@"; }
reg_value() { reg query 'HKCU\Software\Emulators\Tarvik' /v "$1" >/dev/null; awk -v n="$1" '$1 == n { print $2, $3 }' reg.txt | tr -d '\r'; }
has() { grep -qF -- "$1" "${2:-log.txt}"; }

# Every case starts from the default settings (switches such as /h are stored at exit).
reg delete 'HKCU\Software\Emulators\Tarvik' /f >/dev/null 2>&1

case "$case_name" in
startup)
  tarvik $'frames 60\nscreen-text screen.txt\nquit' /h /w
  check_eq "exit status" 0 "$status"
  check "ANSI code page 1250" has "code page: 1250"
  check "window title" has 'window: created "Tarvik emulátor"'
  check "DirectDraw on Wine's GDI renderer" has "wine renderer: renderer=gdi"
  check "the banner of the built-in ROM" grep -q "Tarvik 4.1 - Szabad ROM" screen.txt
  # The menu bar as Windows holds it, item by item, with the check marks of the settings.
  cat >expected-menu.txt <<'MENU'
menu: &File > &Autoload... [40029]
menu: &File > &ROM/BIN betöltése... [40006]
menu: &File > &Memória kimentése... [40010]
menu: &File | ----
menu: &File > &Karakterkészlet > &Saját betöltése ... [40008]
menu: &File > &Karakterkészlet > &Eredeti visszaállítása [40009]
menu: &File > Karaktermátrix a &vágólapra|Alt+C [40042]
menu: &File > &Beszúrás vágólapról|Alt+V [40041]
menu: &File | ----
menu: &File > &Pillanatfelvétel > TKS mentése... [141]
menu: &File > &Pillanatfelvétel > TKS betöltése... [140]
menu: &File > &Pillanatfelvétel > &Gyors mentés|F11 [40070]
menu: &File > &Pillanatfelvétel > Gyors &betöltés|F12 [40071]
menu: &File > &Pillanatfelvétel > Gépállapot mentése... [40090]
menu: &File > &Pillanatfelvétel > Gépállapot betöltése... [40091]
menu: &File > &Kép mentése|F6 [112]
menu: &File > Kép& mentése másként... [129]
menu: &File > &Hang mentése mint... [40038]
menu: &File > Visszajátszás &felvétele... [40092]
menu: &File > &Legutóbbi file-ok > (üres) [40060]
menu: &File | ----
menu: &File > E&xit [102]
menu: &Gép > &Szünet|Pause [104]
menu: &Gép > &Reset|F1 [105]
menu: &Gép > R&estart [109]
menu: &Gép > &Hideg Restart|ALT+F1 [131]
menu: &Gép | ----
menu: &Gép > &Monitor|ESC [108]
menu: &Gép > &Interaktív monitor|Alt+M [40043]
menu: &Gép | ----
menu: &Gép > &Típus > Veltra-16 [40017]
menu: &Gép > &Típus > Tarvik &3.1 [40014]
menu: &Gép > &Típus > Tarvik 4.1 [40015] checked
menu: &Gép > &Típus > &Dorvane [40016]
menu: &Gép > Memória > &4kb RAM [133]
menu: &Gép > Memória > &6kb RAM [134]
menu: &Gép > Memória > &8kb RAM [135]
menu: &Gép > Memória > &16 kb RAM [136]
menu: &Gép > Memória > 32kb RAM [137]
menu: &Gép > Memória > &64 kb RAM [139] checked
menu: &Magnó > &TKT csatolása...|ALT+D [40011]
menu: &Magnó > T&KT lezárása [40012]
menu: &Magnó | ----
menu: &Magnó > WAV &csatolása...|ALT+T [40003]
menu: &Magnó > &WAV készítés... [120]
menu: &Magnó > WAV l&ezárása [121]
menu: &Magnó > &Play/Record|F5 [122]
menu: &Magnó | ----
menu: &Magnó > &Visszacsévélés|Home [130]
menu: &Magnó > &Blokkok... [40098]
menu: &Magnó > &Zajszűrés [40094] checked
menu: &Magnó | ----
menu: &Magnó > WAV át&írása TKT-be... [40095]
menu: &Magnó > TKT átí&rása WAV-ba... [40096]
menu: &Opciók > &50 Hz timer|ALT+W [106]
menu: &Opciók > &Hang > &Kikapcsolva [40030] checked
menu: &Opciók > &Hang > DirectSound [40031]
menu: &Opciók > &Hang > WaveOut [40032]
menu: &Opciók > &Szimbolikus billentyűzet [40026]
menu: &Opciók | ----
menu: &Opciók > &DDraw ki [132]
menu: &Opciók > D&upla scan [40040] checked
menu: &Opciók > &32 oszlopos mód [40004]
menu: &Opciók > &Képarány tartása [40028] checked
menu: &Opciók | ----
menu: &Opciók > &Teljes képernyős mód [40019]
menu: &Opciók | ----
menu: &Opciók > &Gyors magnóbetöltés [40050] checked
menu: &Opciók > &Pixelpontos nagyítás [40080]
menu: &Opciók > &Visszatekerés (F3 nyomva tartva) [40093] checked
menu: &Opciók > &Felolvasás [40097]
menu: &Segítség > &Tasztatúra [40002]
menu: &Segítség > &A programról [103]
MENU
  grep '^menu: ' log.txt | tr -d '\r' >menu.txt
  check_same_bytes "the menu bar" expected-menu.txt menu.txt
  # The values, the defaults except SyncSpeed (/w) and SoundDriver (/h).
  for pair in "SoundDriver 0x0" "VideoDriver 0x0" "SyncSpeed 0x0" "DoubleScan 0x1" \
    "KeepAspectRatio 0x1" "CompositeBlur 0x0" "Model 0x1" "KeyMapping 0x0" "TarvikMemSetup 0x6" \
    "TarvikScreenMode 0x0" "PixelExact 0x0" "FastTapeLoad 0x1" "Rewind 0x1" \
    "TapeFilter 0x1" "ReadAloud 0x0"; do
    check_eq "registry ${pair% *}" "REG_DWORD ${pair#* }" "$(reg_value "${pair% *}")"
  done
  reg query 'HKCU\Software\Emulators\Tarvik' >/dev/null
  check_eq "fifteen numbers" 15 "$(grep -c REG_DWORD "$work/reg.txt")"
  # The eight recent files, empty texts so far.
  check_eq "eight texts" 8 "$(grep -c 'RecentFile[1-8][[:space:]]*REG_SZ' "$work/reg.txt")"
  # The next run keeps them; a model chosen is stored; a text value is replaced by the default.
  reg add 'HKCU\Software\Emulators\Tarvik' /v KeyMapping /t REG_SZ /d 12345678 /f >/dev/null
  tarvik $'command MODEL_VELTRA16\nframes 10\nquit' /h
  check_eq "second run: exit status" 0 "$status"
  check "50 Hz timer stays off" has "menu: &Opciók > &50 Hz timer|ALT+W [106]"$'\r'
  check_eq "registry SyncSpeed kept" "REG_DWORD 0x0" "$(reg_value SyncSpeed)"
  check_eq "registry Model after the model change" "REG_DWORD 0x3" "$(reg_value Model)"
  check_eq "registry KeyMapping text replaced" "REG_DWORD 0x0" "$(reg_value KeyMapping)"
  # Another program's window taking the focus in the middle of a script does not stop the
  # machine: every frame the script asks for runs (300 paced frames, about six seconds).
  tarvik $'frames 300\nquit' /h &
  pid=$!
  wait_for 60 eval "xdotool search --name '^Tarvik' >/dev/null 2>&1"
  "$run" --display --timeout 60 --stdout "$work/probe.txt" "$TARVIK_WIN_BUILD_DIR/wine-probe.exe" window
  check "focus taken: the other window opened" grep -q "window=created" probe.txt
  wait "$pid"
  check_eq "focus taken: exit status" 0 "$?"
  check "focus taken: every frame ran" has "script: 300 frames run"
  reg delete 'HKCU\Software\Emulators\Tarvik' /f >/dev/null 2>&1
  ;;

pictures)
  for mode in gdi ddraw; do
    args=(/h)
    [ "$mode" = gdi ] && args+=(/x)
    rm -f frame.bmp
    # "/x" is stored at exit: each mode starts from the defaults.
    reg delete 'HKCU\Software\Emulators\Tarvik' /f >/dev/null 2>&1
    live_start "${args[@]}"
    advance 100
    live "screenshot frame.bmp"
    advance 5
    check "$mode: frame written" test -s frame.bmp
    line="$(grep '^window: client' log.txt | tail -1 | tr -d '\r')"
    read -r cx cy cw ch px py pw ph < <(sed -E 's/window: client ([0-9-]+),([0-9-]+) ([0-9]+)x([0-9]+) picture ([0-9-]+),([0-9-]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4 \5 \6 \7 \8/' <<<"$line")
    convert frame.bmp -colorspace gray -depth 8 frame.pgm
    if [ "$mode" = gdi ]; then
      check "gdi: DirectDraw not started" has "DirectDraw Init failed!"
      crop="512x512+${cx}+${cy}"
    else
      check "ddraw: DirectDraw started" test "$(grep -c 'DirectDraw Init failed' log.txt)" = 0
      check_eq "ddraw: picture 512 x 384 below the client's top" "$cx,$cy 512x384" "$px,$py ${pw}x$ph"
      crop="${pw}x${ph}+${px}+${py}"
    fi
    # The screen shows the frame once the window has drawn it.
    on_screen() {
      import -window root "screen-$mode.png" &&
        convert "screen-$mode.png" -crop "$crop" +repage -colorspace gray -depth 8 capture.pgm &&
        python3 "$here/compare_picture.py" frame.pgm capture.pgm "$mode" 16 >compare.txt 2>&1
    }
    wait_for 60 on_screen || cat compare.txt >&2
    check "$mode: the banner's glyphs on the screen" on_screen
    live_stop
    check_eq "$mode: exit status" 0 "$status"
  done
  ;;

input)
  live_start /h
  wait_for 60 find_window
  check "window found by its title" test -n "$window"
  advance 50
  xdotool windowfocus --sync "$window" 2>/dev/null
  # Each key is held until the machine has put its letter on the screen, and the next waits
  # until the machine has seen it released.
  typed=""
  for key in h e l l o; do
    typed+="$key"
    xdotool keydown "$key"
    for _ in $(seq 100); do
      advance 5 || break
      grep -qi -- "$typed" "$screen" && break
    done
    xdotool keyup "$key"
    advance 10
  done
  check "typed text on the screen" grep -qi "hello" "$screen"
  # Alt+G opens "&Gép"; the first Escape closes its list, the second leaves the menu bar.
  menu_round() {
    local entered left
    entered=$(count "menu loop entered")
    left=$(count "menu loop left")
    xdotool key alt+g
    wait_for 60 more_than "menu loop entered" "$entered" || return 1
    xdotool key Escape
    xdotool key Escape
    wait_for 60 more_than "menu loop left" "$left"
  }
  check "Alt+G opens the menu, Escape closes it" menu_round
  title="$(xprop -id "$window" _NET_WM_NAME 2>/dev/null)"
  check "the X window's title" grep -qE '= "Tarvik (- |emulátor)' <<<"$title"
  xdotool key Escape
  check "Esc shows the on-screen monitor" wait_for 60 has "title: Tarvik - (Monitor)"
  check "the monitor drew the register lines" wait_for 60 grep -q "^monitor: IP:[0-9A-F]\{4\},AF:" log.txt
  # Whole register lines: the cells are as wide as the font draws them.
  check "the register line is whole, up to R and the flags" \
    grep -qE '^monitor: IP:[0-9A-F]{4},AF:[0-9A-F]{4},BC:[0-9A-F]{4},DE:[0-9A-F]{4},HL:[0-9A-F]{4},R:[0-9A-F]{2}\|[-SZHPNC]{8}' log.txt
  # A menu closed over the monitor leaves the monitor drawn again.
  check "Alt+G over the monitor opens and closes the menu" menu_round
  drawn_after_menu() {
    awk '/menu loop left/ { after = 0; next } /^monitor: IP:/ { after = 1 } END { exit !after }' log.txt
  }
  check "the monitor is drawn again after the menu" wait_for 60 drawn_after_menu
  live_stop
  check_eq "exit status" 0 "$status"
  ;;

statusbar)
  # The status bar after the actions that redraw the window: a capture of the bar must show the
  # bar (not the picture's black) and the current model's label in part 0. With Wine's OpenGL
  # renderer (WINE_D3D_CONFIG=renderer=gl) DirectDraw's OpenGL window covered the whole client
  # area, bar included, from the first change of size on: 8 of these checks failed.
  # bar NAME: captures the screen and crops the bar (as the log last placed it) to NAME.png,
  # its part 0 (the model label) to NAME-label.png.
  bar() {
    local x y w h
    read -r x y w h < <(grep '^status bar: ' log.txt | tail -1 | tr -d '\r' |
      sed -E 's/status bar: ([0-9-]+),([0-9-]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4/')
    import -window root "$1-screen.png"
    convert "$1-screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$1.png"
    convert "$1.png" -crop "76x$((h - 4))+2+2" +repage "$1-label.png"
  }
  # uncovered NAME: the bar's messages part (right of the indicators) is light, as the control
  # paints it; the picture's fill would leave it black.
  uncovered() {
    local mean
    mean="$(convert "$1.png" -crop +240+0 +repage -colorspace gray -format '%[fx:mean]' info:)"
    awk -v m="$mean" 'BEGIN { exit !(m > 0.5) }' || { echo "  $1: mean $mean" >&2; return 1; }
  }
  same_label() { [ "$(compare -metric AE "$1-label.png" "$2-label.png" null: 2>&1)" = 0 ]; }
  # painted NAME: takes the bar again until X shows it painted (a busy machine draws late).
  painted() { bar "$1"; uncovered "$1" 2>/dev/null; }
  # The label as the start-up shows it, for each model.
  for m in 1 3; do
    reg add 'HKCU\Software\Emulators\Tarvik' /v Model /t REG_DWORD /d $m /f >/dev/null
    live_start /h
    advance 50
    wait_for 30 painted "start$m"
    live_stop
  done
  check "the bar at start-up" uncovered start1
  # A renderer the user chose is kept.
  alsa_env=(--env WINE_D3D_CONFIG=renderer=gl)
  tarvik $'frames 5\nquit' /h
  alsa_env=()
  check "the user's renderer is kept" has "wine renderer: renderer=gl (kept)"
  check "the two models' labels differ" test "$(compare -metric AE start1-label.png start3-label.png null: 2>&1)" != 0
  reg add 'HKCU\Software\Emulators\Tarvik' /v Model /t REG_DWORD /d 1 /f >/dev/null
  live_start /h
  advance 50
  wait_for 60 find_window
  live "command 132" "command 132"
  advance 20
  wait_for 30 painted gdi-ddraw
  check "GDI, then DirectDraw: the bar is not covered" uncovered gdi-ddraw
  check "GDI, then DirectDraw: the label" same_label gdi-ddraw start1
  sizes=$(count "status bar: ")
  xdotool windowsize "$window" 700 600
  wait_for 60 more_than "status bar: " "$sizes"
  advance 20
  wait_for 30 painted resized
  check "resized: the bar is not covered" uncovered resized
  check "resized: the label" same_label resized start1
  live "command 40019"
  advance 20
  live "command 40019"
  advance 20
  wait_for 30 painted full-screen
  check "full screen and back: the bar is not covered" uncovered full-screen
  check "full screen and back: the label" same_label full-screen start1
  live "command 40017"
  advance 20
  bar veltra
  check "Veltra-16: the bar is not covered" uncovered veltra
  check "Veltra-16: the label" same_label veltra start3
  # The about box over the bar, then closed: nothing of it stays.
  live "command 103"
  advance 20
  bar about
  check "a dialog closed: the bar is as before" \
    test "$(compare -metric AE about.png veltra.png null: 2>&1)" = 0
  live_stop
  check_eq "exit status" 0 "$status"
  reg delete 'HKCU\Software\Emulators\Tarvik' /f >/dev/null 2>&1
  ;;

commands)
  alsa_env=(--env ALSA_CONFIG_PATH="$work/null-alsa.conf")
  printf 'ABCDEFGH%.0s' $(seq 256) >font.chr
  head -c 100 /dev/urandom >data.bin
  tarvik "$(cat <<'SCRIPT'
frames 50
fields 4000 40FF
answer mem.tkt
command SAVE_MEMORY
answer mem.bin
command SAVE_MEMORY
fields 5000 5063
answer data.bin
command LOAD_BINARY
answer mem.tkt
command AUTOLOAD
answer mem.tkt
command TAPE_ATTACH
command TAPE_BROWSER
command TAPE_DETACH
answer font.chr
command LOAD_CHARSET
command RESTORE_CHARSET
answer snap.tks
command SNAPSHOT_SAVE
answer snap.tks
command SNAPSHOT_LOAD
command SCREENSHOT
answer shot
command SCREENSHOT_AS
answer sound
command SOUND_RECORD
frames 20
command SOUND_RECORD
command PAUSE
command PAUSE
command RESET
command RESTART
command COLD_RESTART
command MONITOR
command MONITOR
monitor r
monitor b 4000
monitor x
command CONSOLE_MONITOR
command MODEL_TARVIK31
command MODEL_DORVANE
command MODEL_VELTRA16
command MODEL_TARVIK41
command RAM_4K
command RAM_6K
command RAM_8K
command RAM_16K
command RAM_32K
command RAM_64K
answer rec
command WAV_CREATE
frames 20
command WAV_PLAY_RECORD
command WAV_PLAY_RECORD
command WAV_REWIND
command WAV_CLOSE
answer rec.wav
command WAV_ATTACH
command WAV_REWIND
command SYNC_SPEED
command SYNC_SPEED
command SOUND_OFF
command SOUND_WAVEOUT
command SOUND_DIRECTSOUND
command SOUND_OFF
command SYMBOLIC_KEYBOARD
command SYMBOLIC_KEYBOARD
command VIDEO_DRIVER
frames 5
command VIDEO_DRIVER
frames 5
command DOUBLE_SCAN
command DOUBLE_SCAN
command SCREEN_MODE_32
command SCREEN_MODE_32
command KEEP_ASPECT
command KEEP_ASPECT
command PIXEL_EXACT
frames 5
command PIXEL_EXACT
command FULL_SCREEN
frames 5
command FULL_SCREEN
command VIDEO_DRIVER
command FULL_SCREEN
frames 5
command FULL_SCREEN
command VIDEO_DRIVER
answer video
command AVI
frames 120
command AVI
command COPY_SCREEN
paste 10 PRINT\n
frames 30
command KEYBOARD_CHART
command ABOUT
screen-text screen.txt
quit
SCRIPT
)"
  check_eq "exit status" 0 "$status"
  check "no message box" test "$(grep -c '^message box' log.txt)" = 0
  check "memory saved as a tape image" has "status: Memória 4000h-40FFh lementve mem.tkt néven."
  check_eq "the raw save's length" 256 "$(stat -c %s mem.bin)"
  check "the ROM/BIN dialog offered its fields" has "dialog: ROM/BIN betöltése...: fields 0000 FFFF"
  check "the tape image autoloaded" grep -q "status: .*4000" log.txt
  check_eq "snapshot size" 115238 "$(stat -c %s snap.tks 2>/dev/null)"
  check "F6 screenshot" test -s tarvik0000.bmp
  check_eq "screenshot saved as, with its extension" 16446 "$(stat -c %s shot.bmp 2>/dev/null)"
  check "sound capture closed" grep -q "status: Audio file lezárva ([0-9]* byte)." log.txt
  check "sound capture written" test -s sound.wav
  check "console monitor ran" has "console: Interactive monitor"
  check "breakpoint set" grep -qF "console: set." <(grep -A1 -F "console: Breakpoint(s) at 4000h" log.txt)
  check "sound recorded" test "$(stat -c %s sound.wav)" -gt 44
  for t in "Tarvik - (Felfüggesztve)" "Tarvik - (Újraindítva)" "Tarvik - (Monitor)"; do
    check "title $t" has "title: $t"
  done
  check "WAV recording made" test -s rec.wav
  check "full screen left with GDI back" test "$(grep -c 'DirectDraw Init failed' log.txt)" -le 1
  check "keyboard chart" has "dialog 120: Tarvik 4 tasztatúra-kiosztás | !/1 \"/2 #/3 \$/4 %/5 &/6 '/7 (/8 )/9 /0 */: ALT BELL/fel TAB/le F1 Q"
  check "keyboard chart has all keys" has "| 58 keys"
  check "key map" has "| Tarvik 4.1 billentyűi, pozicionális kiosztás | le = le nyíl | CLS/fel = fel nyíl | DEL/jobb = jobb nyíl | BS/bal = bal nyíl | SPACE = szóköz | CR = Enter |"
  check "about box" has "dialog 113: A Tarvik programról | Tarvik 2/3/4 - Dorvane emulátor | 1.4.0 verzió"
  check "tape browser" has "dialog 124: Kazetta blokkjai | mem.tkt (TKT, 1 blokk) | Pozíció: 0. bájt, a(z) 1. blokkban. | 1 mem 4000-40FF 256 jó | [&Tekerés] | [Bezárás]"
  check "AVI capture closed" has "status: Video stream closed. 120 frames written."
  v="$(ffprobe -v error -select_streams v:0 -count_frames -show_entries \
    stream=width,height,r_frame_rate,nb_read_frames -of default=nw=1 video.avi 2>&1)"
  check "AVI: 512 x 256" grep -qx "width=512" <<<"$v"
  check "AVI: 256 rows" grep -qx "height=256" <<<"$v"
  # The rate the machine really has: 3 MHz over 59 808 T-states a frame (Tarvik models).
  check "AVI: the machine's frame rate" grep -qx "r_frame_rate=31250/623" <<<"$v"
  check "AVI: 120 frames" grep -qx "nb_read_frames=120" <<<"$v"
  check "pasted text typed" grep -q "10 PRINT" screen.txt
  ;;

sound)
  alsa_env=(--env ALSA_CONFIG_PATH="$work/null-alsa.conf")
  tarvik $'frames 100\ncommand SOUND_WAVEOUT\nframes 100\nscreen-text screen.txt\nquit'
  check_eq "null device: exit status" 0 "$status"
  check "null device: DirectSound opens without a message" test "$(grep -c '^message box' log.txt)" = 0
  check "null device: WaveOut opens" test "$(grep -c 'waveOutOpen returned' log.txt)" = 0
  check "null device: frames ran" grep -q "Tarvik 4.1 - Szabad ROM" screen.txt
  alsa_env=(--env ALSA_CONFIG_PATH=/nonexistent)
  tarvik $'frames 50\ncommand SOUND_DIRECTSOUND\ncommand SOUND_WAVEOUT\nframes 50\nscreen-text screen.txt\nquit'
  check_eq "no device: exit status" 0 "$status"
  check "no device: DirectSound's reason" has "DirectSoundCreate failed"
  check "no device: WaveOut's reason" grep -q "^waveOutOpen returned [0-9]" log.txt
  # At start (DirectSound, the default), and for each driver chosen.
  check_eq "no device: each says so to the user" 3 \
    "$(grep -c '^message box: Error: A hangeszköz nem indítható, a program hang nélkül fut tovább' log.txt)"
  check "no device: runs on silently" grep -q "Tarvik 4.1 - Szabad ROM" screen.txt
  ;;
*)
  echo "unknown case $case_name" >&2
  exit 2
  ;;
esac
finish
