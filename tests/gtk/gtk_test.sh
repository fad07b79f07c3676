#!/usr/bin/env bash
# The Linux desktop program on a virtual display of its own.   gtk_test.sh CASE PATH/tarvik
# Cases: startup (banner, menu bar, settings file), pictures (the window against the program's
# own frame, both video paths), input (keys typed with xdotool, F4 held, Alt+letter, Esc),
# commands (every menu command in script mode), layouts (typing on a US keyboard in both modes),
# sound (SDL's disk driver against the audio chain's recording), nosound (no sound device: the
# message while the machine runs), settings (written and read back), fullscreen (full screen and
# back). Every wait polls against a deadline.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${TARVIK_GTK_INNER:-}" ]; then
  # Cases run side by side: each looks for a free display from a number of its own.
  exec "${TARVIK_XVFB_RUN:-xvfb-run}" -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -nolisten tcp" \
    env TARVIK_GTK_INNER=1 "$0" "$@"
fi
source "$here/../wine/testlib.sh"
case_name="${1:?usage: gtk_test.sh CASE PATH/tarvik}"
exe="${2:?usage: gtk_test.sh CASE PATH/tarvik}"
[ -x "$exe" ] || { echo "$exe is missing" >&2; exit 1; }
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"

work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf -- "$work"' EXIT
cd "$work"
export XDG_CONFIG_HOME="$work/config"
export SDL_AUDIODRIVER=dummy
export NO_AT_BRIDGE=1

# tarvik SCRIPT-LINES ARGS...: runs the program with the script, leaving $status and the log
# (standard error) in log.txt.
tarvik() {
  printf '%s\n' "$1" >script.txt
  shift
  timeout 180 "$exe" /script script.txt "$@" 2>log.txt >out.txt
  status=$?
  return "$status"
}
# Started in the background: $pid, the log in log.txt.
tarvik_bg() {
  printf '%s\n' "$1" >script.txt
  shift
  timeout 180 "$exe" /script script.txt "$@" 2>log.txt >out.txt &
  pid=$!
}
finish_bg() {
  wait "$pid"
  status=$?
  pid=""
}
has() { grep -qF -- "$1" "${2:-log.txt}"; }
window_id() { xdotool search --onlyvisible --name '^Tarvik' 2>/dev/null | head -1; }
have_window() { [ -n "$(window_id)" ]; }

case "$case_name" in
startup)
  tarvik $'frames 60\nscreen-text screen.txt\nquit' /h /w
  check_eq "exit status" 0 "$status"
  check "window title" has 'window: created "Tarvik emulátor"'
  check "the banner of the built-in ROM" grep -q "Tarvik 4.1 - Szabad ROM" screen.txt
  check "the status bar's model label" has "status label: Tarvik4"
  # The menu bar as GTK holds it, item by item, with the check marks of the settings.
  grep '^menu: ' log.txt >menu.txt
  check_same_bytes "the menu bar" "$here/expected-menu.txt" menu.txt
  ;;

pictures)
  for mode in gdi ddraw; do
    args=(/h)
    [ "$mode" = gdi ] && args+=(/x)
    rm -rf frame.bmp log.txt config
    tarvik_bg $'frames 100\nscreenshot frame.bmp\nframes 100000\nquit' "${args[@]}"
    check "$mode: frame written" wait_for 60 test -s frame.bmp
    convert frame.bmp -colorspace gray -depth 8 frame.pgm
    line="$(grep '^window: client' log.txt | tail -1)"
    read -r cx cy cw ch px py pw ph < <(sed -E 's/window: client ([0-9-]+),([0-9-]+) ([0-9]+)x([0-9]+) picture ([0-9-]+),([0-9-]+) ([0-9]+)x([0-9]+)/\1 \2 \3 \4 \5 \6 \7 \8/' <<<"$line")
    if [ "$mode" = gdi ]; then
      check "gdi: the GDI path" has "DirectDraw Init failed!"
      crop="512x512+${cx}+${cy}"
    else
      check_eq "ddraw: picture 512 x 384 at the client's top left" "0,0 512x384" "$px,$py ${pw}x$ph"
      crop="${pw}x${ph}+$((cx + px))+$((cy + py))"
    fi
    # The window shows the frame once it has drawn: compared until it matches or time runs out.
    capture_matches() {
      import -window root screen-$mode.png 2>/dev/null &&
        convert screen-$mode.png -crop "$crop" +repage -colorspace gray -depth 8 capture.pgm &&
        python3 "$here/../wine/compare_picture.py" frame.pgm capture.pgm "$mode" 16 >compare.txt
    }
    check "$mode: the banner's glyphs in the window" wait_for 60 capture_matches
    cat compare.txt
    kill "$pid"
    finish_bg
  done
  ;;

input)
  tarvik_bg $'frames 100000\nscreen-text typed.txt\nquit' /h
  check "window found by its title" wait_for 60 have_window
  window="$(window_id)"
  xdotool windowfocus --sync "$window" 2>/dev/null
  check "the window has the focus" wait_for 20 test "$(xdotool getwindowfocus 2>/dev/null)" = "$window"
  # Each key is held until the program has it and has run frames since: the speed line in the
  # title comes once a second of running.
  count() { grep -c -- "$1" log.txt; }
  more_than() { [ "$(count "$1")" -gt "$2" ]; }
  for key in h e l l o; do
    code="key down: $(printf '0x%02X' "'${key^^}")"
    seen="$(count "$code")"
    xdotool keydown "$key"
    check "key $key received" wait_for 20 more_than "$code" "$seen"
    check "frames ran with $key held" wait_for 30 more_than '^title: Tarvik - [0-9]' "$(($(count '^title: Tarvik - [0-9]') + 1))"
    xdotool keyup "$key"
  done
  # F4 held runs the machine unpaced: the speed in the title passes twice real time.
  unpaced() { grep -Eq '^title: Tarvik - [0-9.]+ Mhz \( *([2-9][0-9]{2}|[0-9]{4,})%' log.txt; }
  xdotool keydown F4
  check "F4 held runs unpaced" wait_for 30 unpaced
  xdotool keyup F4
  xdotool key alt+g
  check "Alt+G opens the menu" wait_for 20 has "menu loop entered"
  xdotool key Escape
  check "Escape closes it" wait_for 20 has "menu loop left"
  xdotool key Escape
  check "Esc shows the on-screen monitor" wait_for 20 has "title: Tarvik - (Monitor)"
  finish_bg
  check_eq "exit status" 0 "$status"
  check "typed text on the screen" grep -qi "hello" typed.txt
  check "the monitor drew the register lines" grep -q "^monitor: IP:[0-9A-F]\{4\},AF:" log.txt
  ;;

commands)
  printf 'ABCDEFGH%.0s' $(seq 256) >font.chr
  head -c 100 /dev/urandom >data.bin
  tarvik "$(sed 's/^#.*//' "$here/commands.txt")"
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
  check "sound recorded" test "$(stat -c %s sound.wav)" -gt 44
  check "console monitor ran" has "console: Interactive monitor"
  check "breakpoint set" grep -qF "console: set." <(grep -A1 -F "console: Breakpoint(s) at 4000h" log.txt)
  for t in "Tarvik - (Felfüggesztve)" "Tarvik - (Újraindítva)" "Tarvik - (Monitor)"; do
    check "title $t" has "title: $t"
  done
  for label in Tarvik3 Dorvane Veltra Tarvik4; do
    check "status label $label" has "status label: $label"
  done
  check "WAV recording made" test -s rec.wav
  check "keyboard chart" has "dialog 120: Tarvik 4 tasztatúra-kiosztás | !/1 \"/2 #/3 \$/4 %/5 &/6 '/7 (/8 )/9 /0 */: ALT BELL/fel TAB/le F1 Q"
  check "keyboard chart has all keys" has "| 58 keys"
  check "key map" has "| Tarvik 4.1 billentyűi, pozicionális kiosztás | le = le nyíl | CLS/fel = fel nyíl | DEL/jobb = jobb nyíl | BS/bal = bal nyíl | SPACE = szóköz | CR = Enter |"
  check "the key map names the 0 key" has "| 0 = 0 | !/1 = 1 |"
  check "about box" has "dialog 113: A Tarvik programról | Tarvik 2/3/4 - Dorvane emulátor | 1.4.0 verzió"
  check "tape browser" has "dialog: Kazetta blokkjai | mem.tkt (TKT, 1 blokk) | Pozíció: 0. bájt, a(z) 1. blokkban. | 1 mem 4000-40FF 256 jó"
  check "AVI capture closed" has "status: Video stream closed. 120 frames written."
  v="$(ffprobe -v error -select_streams v:0 -count_frames -show_entries \
    stream=width,height,r_frame_rate,nb_read_frames -of default=nw=1 video.avi 2>&1)"
  check "AVI: 512 x 256" grep -qx "width=512" <<<"$v"
  check "AVI: 256 rows" grep -qx "height=256" <<<"$v"
  check "AVI: 120 frames" grep -qx "nb_read_frames=120" <<<"$v"
  check "pasted text typed" grep -q "10 PRINT" screen.txt
  ;;

sound)
  # A beeper tone: RST 28h over and over, started from the console monitor.
  printf '\xEF\x18\xFD' >beep.bin
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/device.raw"
  tarvik $'frames 50\ncommand 40031\nfields 4100 4102\nanswer beep.bin\ncommand 40006\nmonitor g 4100\nmonitor x\ncommand 40043\nframes 50\nanswer chain\ncommand 40038\nframes 100\ncommand 40038\nframes 25\nquit'
  check_eq "exit status" 0 "$status"
  check "no message box" test "$(grep -c '^message box' log.txt)" = 0
  check "the device played" test -s device.raw
  check "the chain's output recorded" test -s chain.wav
  check "the device played the chain's output" python3 "$here/compare_sound.py" chain.wav device.raw
  # Without a device: "No sound", with a message, and the machine runs on.
  export SDL_AUDIODRIVER=nosuchdriver
  tarvik $'frames 20\ncommand 40031\nframes 20\nscreen-text screen.txt\nquit'
  check_eq "no device: exit status" 0 "$status"
  check "no device: the message" grep -q "^message box: Error: A hangeszköz nem indítható" log.txt
  check "no device: the reason" grep -q "^SDL_" log.txt
  check "no device: runs on" grep -q "Tarvik 4.1 - Szabad ROM" screen.txt
  ;;

nosound)
  # A real start (no script) without a sound device: the box comes, and the machine runs
  # behind it while nobody has answered it.
  export SDL_AUDIODRIVER=nosuchdriver
  timeout 180 "$exe" 2>log.txt >out.txt &
  pid=$!
  box_shown() { [ -n "$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null)" ]; }
  running_behind() { have_window && xdotool getwindowname "$(window_id)" | grep -q ' Mhz '; }
  check "the message box" wait_for 60 box_shown
  check "the machine runs behind the box" wait_for 30 running_behind
  check "the box is still up" box_shown
  check "the reason on standard error" grep -q "^SDL_" log.txt
  kill "$pid"
  finish_bg
  ;;

settings)
  tarvik $'frames 10\nquit' /h /w
  ini="$XDG_CONFIG_HOME/tarvik/settings.ini"
  check_eq "first run: exit status" 0 "$status"
  check "the settings file" test -s "$ini"
  check_eq "fifteen numbers" 15 "$(grep -c '=[0-9]' "$ini")"
  check_eq "eight recent files, empty" 8 "$(grep -c '^RecentFile[1-8]=$' "$ini")"
  check "SyncSpeed off (/w)" grep -qx "SyncSpeed=0" "$ini"
  check "SoundDriver off (/h)" grep -qx "SoundDriver=0" "$ini"
  # Read back: the next run shows them; a model chosen is stored; a bad value gets its default.
  sed -i 's/^KeyMapping=.*/KeyMapping=text/' "$ini"
  tarvik $'command 40017\nframes 10\nquit'
  check_eq "second run: exit status" 0 "$status"
  check "50 Hz timer stays off" grep -qx "menu: &Opciók > &50 Hz timer|ALT+W \[106\]" log.txt
  check "Model stored" grep -qx "Model=3" "$ini"
  check "KeyMapping replaced" grep -qx "KeyMapping=0" "$ini"
  check "no temporary file left" test ! -e "$ini.tmp"
  # Pixel-exact scaling saved on: the start gives the window (and picture) that switching it on
  # gives, larger than 1:1.
  sed -i 's/^PixelExact=.*/PixelExact=0/' "$ini"
  exact() { grep -Eq '^window: client .* picture [0-9]+,[0-9]+ (1024|512)x(512|768)$' log.txt; }
  tarvik_bg $'frames 10\ncommand PIXEL_EXACT\nframes 100000' /h
  check "pixel exact switched on: whole multiples" wait_for 30 exact
  switched="$(grep '^window: client' log.txt | tail -1)"
  kill "$pid"
  finish_bg
  sed -i 's/^PixelExact=.*/PixelExact=1/' "$ini"
  tarvik_bg $'frames 100000' /h
  check "pixel exact at start: the same window" wait_for 30 grep -qxF -- "$switched" log.txt
  kill "$pid"
  finish_bg
  ;;

layouts)
  # Typing on a US keyboard, quickly, as xdotool types. By character ("Szimbolikus
  # billentyűzet"): each character once on the prompt, "<" as Shift with the comma, the
  # Hungarian letters on the keys that stand in for them (Delete, End, the brackets, the
  # backslash). By place: Y, Z and the 0 of the number row. (The virtual display keeps its US
  # layout: Debian's Xvfb refuses keymap changes, so other layouts are tested below the
  # platform.)
  prompt() { grep '^>' typed.txt | tail -1 | sed 's/[Ź ]*$//'; }
  type_keys() { # MODE-SCRIPT-LINE STROKES...
    local mode="$1"
    shift
    rm -rf config typed.txt log.txt
    tarvik_bg "$mode"$'\nframes 100000\nscreen-text typed.txt\nquit' /h
    check "window found" wait_for 60 have_window
    window="$(window_id)"
    xdotool windowfocus --sync "$window" 2>/dev/null
    check "focus" wait_for 20 test "$(xdotool getwindowfocus 2>/dev/null)" = "$window"
    # The machine runs (its speed in the title) before the keys and after them.
    titles() { grep -c '^title: Tarvik - [0-9]' log.txt; }
    titles_reach() { [ "$(titles)" -ge "$1" ]; }
    check "running" wait_for 30 titles_reach 1
    xdotool key --delay 15 "$@"
    check "frames after the keys" wait_for 30 titles_reach $(($(titles) + 1))
    xdotool key Escape
    finish_bg
  }
  type_keys "command SYMBOLIC_KEYBOARD" shift+comma shift+period shift+9 shift+0 0 minus equal \
    apostrophe shift+apostrophe shift+3 shift+equal shift+8 shift+semicolon semicolon \
    shift+slash slash shift+6 Delete End bracketright bracketleft backslash shift+End \
    shift+Delete y z
  check_eq "typed by character" "> <>()0-='\"#+*:;?/^áéóöüÉÁyz" "$(prompt)"
  type_keys "frames 1" l space 4 1 0 0 space y z minus
  check_eq "typed by place" "> l 4100 yz=" "$(prompt)"
  ;;

fullscreen)
  tarvik_bg $'frames 20\ncommand 40019\nframes 100000\nquit' /h
  check "window found" wait_for 60 have_window
  window="$(window_id)"
  check "full screen" wait_for 30 has "full screen: on 1024x768"
  on_screen() { xdotool getwindowgeometry "$window" | grep -q "Geometry: 1024x768"; }
  check "the window covers the screen" wait_for 30 on_screen
  fills() { grep '^window: client' log.txt | tail -1 | grep -q "picture 0,0 1024x768"; }
  check "the picture fills it at 4:3" wait_for 30 fills
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key alt+Return
  check "back from full screen" wait_for 30 has "full screen: off"
  size="$(grep '^full screen: off' log.txt | sed 's/.* //')"
  back() { xdotool getwindowgeometry "$window" | grep -q "Geometry: $size"; }
  check "the window has its size again" wait_for 30 back
  check "the menu bar is back" wait_for 30 test "$(grep -c '^window: client' log.txt)" -gt 0
  kill "$pid"
  finish_bg
  ;;
*)
  echo "unknown case $case_name" >&2
  exit 2
  ;;
esac
finish
