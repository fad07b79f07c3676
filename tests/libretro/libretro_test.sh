#!/usr/bin/env bash
# Tests of the libretro core (build/tarvik_libretro.so) in the real front end, Debian's
# RetroArch, on a virtual display of its own (xvfb-run): one case per run.
#   libretro_test.sh CASE CORE TARVIK_CLI RETRO_DRIVE
# Pictures are RetroArch's screenshots at the core's own size (512 x 256, the raw frame:
# video_gpu_screenshot off), compared with tarvik-cli's BMP of the same run pixel for pixel
# (ImageMagick's "compare -metric AE": the count of pixels that differ must be 0).
set -uo pipefail
case_name=$1 core=$2 cli=$3 drive=${4:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-libretro.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# The number of pixels two pictures differ in.
differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
same_picture() { [ "$(differing "$1" "$2")" = 0 ]; }
other_picture() { [ "$(differing "$1" "$2")" != 0 ]; }

# A tape that autoloads a program printing a line and beeping (RST 28h), over and over: the
# picture scrolls every few frames, and the sound is a tone.
python3 - <<'PY'
text = b"RETRO TKT FUTOTT "
program = bytes([0x21, 0x11, 0x41, 0x7e, 0xb7, 0x28, 0x06, 0xcd, 0x16, 0x06, 0x23, 0x18, 0xf6,
                 0xef, 0xc3, 0x00, 0x41]) + text + b"\0"
end = 0x4100 + len(program)
sysvars = bytearray(0x1c)
sysvars[0x18 - 0x16], sysvars[0x19 - 0x16] = end & 0xff, end >> 8
sysvars[0x31 - 0x16] = 0x41
def block(load, data):
    return (bytes(16) + b"\xa5RET\0" + bytes([load & 0xff, load >> 8, len(data) & 0xff,
            len(data) >> 8]) + data + b"\0\0")
open("beep.tkt", "wb").write(block(0x4100, program) + block(0x4016, bytes(sysvars)))
PY

mkdir -p home system
cat >ra.cfg <<CFG
video_driver = "gl"
audio_driver = "null"
input_driver = "x"
video_gpu_screenshot = "false"
video_vsync = "false"
audio_sync = "false"
pause_nonactive = "false"
gamemode_enable = "false"
libretro_log_level = "0"
config_save_on_exit = "false"
system_directory = "$work/system"
savestate_directory = "$work"
screenshot_directory = "$work"
global_core_options = "true"
core_options_path = "$work/options.cfg"
CFG
# RetroArch under a display and a session bus of its own (it asks the bus for GameMode);
# its exit status in $status, its output in ra.log.
retroarch() {
  HOME="$work/home" XDG_RUNTIME_DIR="$work" timeout 120 xvfb-run -a -n $((100 + RANDOM % 800)) dbus-run-session -- \
    /usr/bin/retroarch --config "$work/ra.cfg" -L "$core" "$@" >>ra.log 2>&1
  status=$?
}
shot() { # FRAMES PICTURE [ARGS...]: a run of FRAMES frames and its last picture
  local frames=$1 picture=$2
  shift 2
  retroarch --max-frames="$frames" --max-frames-ss --max-frames-ss-path="$work/$picture" "$@"
}
cli_shot() { # FRAMES PICTURE [ARGS...]
  local frames=$1 picture=$2
  shift 2
  "$cli" /h --frames "$frames" --screenshot "$picture" "$@" >/dev/null 2>&1
}

case "$case_name" in
picture)
  # The picture changes at frame 105 and after frame 109: the screenshots after 105 and 109
  # frames can equal tarvik-cli's of the same frames only when RetroArch ran exactly as many.
  for n in 104 105 109 110; do cli_shot $n cli$n.bmp beep.tkt; done
  check "the picture changes at 105 and 110" \
    eval 'other_picture cli104.bmp cli105.bmp && other_picture cli109.bmp cli110.bmp'
  for n in 105 109; do
    shot $n ra$n.png beep.tkt
    check "run of $n frames: exit status" test "$status" = 0
    check "run of $n frames: 512 x 256" test "$(identify -format %wx%h ra$n.png)" = 512x256
    check "run of $n frames: the picture of tarvik-cli's" same_picture ra$n.png cli$n.bmp
  done
  # No content: the firmware boots.
  shot 60 none.png
  cli_shot 60 none.bmp
  check "no content: exit status" test "$status" = 0
  check "no content: the firmware's picture" same_picture none.png none.bmp
  ;;
movie)
  # A recording starts from the machine's state (retro_serialize); its playback puts the
  # state back (retro_unserialize) and ends on the same picture.
  shot 150 recorded.png --bsvrecord "$work/run.bsv" beep.tkt
  check "recorded: exit status" test "$status" = 0
  check "the movie" test -s run.bsv
  shot 150 played.png --verbose --bsvplay "$work/run.bsv" --eof-exit beep.tkt
  check "played: exit status" test "$status" = 0
  check "played back: a picture" test -s played.png
  check "played back: from the recorded state" grep -q "\[Tarvik\] the machine state put back" ra.log
  check "played back: the recorded picture" same_picture played.png recorded.png
  cli_shot 150 cli.bmp beep.tkt
  check "the picture of tarvik-cli's run" same_picture recorded.png cli.bmp
  ;;
sound)
  # RetroArch's own recording (through FFmpeg): the beeping program is heard, the firmware
  # alone is silent.
  loudest() {
    ffmpeg -nostdin -i "$1" -af volumedetect -f null - 2>&1 | sed -n 's/.*max_volume: \(.*\) dB/\1/p'
  }
  retroarch --max-frames=150 --record "$work/beep.mkv" beep.tkt
  check "beeping: exit status" test "$status" = 0
  beep=$(loudest beep.mkv)
  echo "beeping program: max volume $beep dB"
  check "beeping: not silent" awk -v v="${beep:--999}" 'BEGIN { exit !(v > -30) }'
  retroarch --max-frames=150 --record "$work/quiet.mkv"
  quiet=$(loudest quiet.mkv)
  echo "firmware alone: max volume $quiet dB"
  check "the firmware alone: silent" awk -v v="${quiet:-0}" 'BEGIN { exit !(v < -60) }'
  ;;
options)
  # Each option as its desktop menu command does it (tarvik-cli's script runs the command).
  option_case() { # NAME OPTION VALUE COMMAND
    local name=$1 option=$2 value=$3 command=$4
    echo "$option = \"$value\"" >options.cfg
    shot 80 "$name.png"
    printf 'command %s\nframes 80\nquit\n' "$command" >"$name.script"
    "$cli" /h --script "$name.script" --screenshot "$name.bmp" >/dev/null 2>&1
    check "$name: exit status" test "$status" = 0
    check "$name: as the menu command" same_picture "$name.png" "$name.bmp"
    check "$name: changed the picture" other_picture "$name.png" default.bmp
  }
  "$cli" /h --frames 80 --screenshot default.bmp >/dev/null 2>&1
  option_case model tarvik_model Tarvik3 40014
  option_case ram tarvik_ram 16K 136
  option_case columns tarvik_32_columns on 40004
  ;;
damaged)
  # A snapshot cut short and a tape that is not one: the front end is told, nothing crashes.
  head -c 1000 /dev/urandom >bad.tks
  retroarch --verbose --max-frames=30 bad.tks
  check "a damaged snapshot: no crash" test "$status" -lt 128
  check "a damaged snapshot: the front end is told" grep -q "\[Tarvik\].*" ra.log
  check "a damaged snapshot: the content does not load" grep -qi "failed to load content" ra.log
  : >ra.log
  printf 'nothing' >bad.tkt
  retroarch --verbose --max-frames=30 bad.tkt
  check "a damaged tape: no crash" test "$status" -lt 128
  check "a damaged tape: the content does not load" grep -qi "failed to load content" ra.log
  ;;
driven)
  # Through the tests' own front end (retro_drive), each against tarvik-cli doing the same
  # with its script lines. A gamepad button presses the key its option names (A: K here).
  drive() { "$drive" "$core" "$@" >drive.log 2>&1 || { cat drive.log; return 1; }; }
  cli_script() { # PICTURE LINES [FILE...]
    printf '%s\nquit\n' "$2" >run.script
    "$cli" /h --script run.script --screenshot "$1" "${@:3}" >/dev/null 2>&1
  }
  check "gamepad A as K: runs" drive - pad.ppm opt:tarvik_pad_a=K frames:60 pad:8:1 frames:3 \
    pad:8:0 frames:10
  cli_script pad.bmp $'frames 60\nkeydown K\nframes 3\nkeyup K\nframes 10'
  check "gamepad A as K: the key K" same_picture pad.ppm pad.bmp
  check "gamepad A by default: runs" drive - space.ppm frames:60 pad:8:1 frames:3 pad:8:0 \
    frames:10
  check "gamepad A by default: not K" other_picture space.ppm pad.ppm
  # The keyboard: the key at the place of Y typing "z" (a German keyboard) is Y when
  # positional and Z when symbolic.
  check "positional: runs" drive - positional.ppm frames:60 key:121:122:1 frames:3 key:121:0:0 \
    frames:10
  cli_script positional.bmp $'frames 60\nkeydown Y\nframes 3\nkeyup Y\nframes 10'
  check "positional: the key at its place" same_picture positional.ppm positional.bmp
  check "symbolic: runs" drive - symbolic.ppm opt:tarvik_keyboard=symbolic frames:60 \
    key:121:122:1 frames:3 key:121:0:0 frames:10
  cli_script symbolic.bmp $'command 40026\nframes 60\nkeydown Z\nframes 3\nkeyup Z\nframes 10'
  check "symbolic: the key of the character" same_picture symbolic.ppm symbolic.bmp
  # An option changed while the machine runs applies at the next frame.
  check "32 columns later: runs" drive - later.ppm frames:30 opt:tarvik_32_columns=on frames:50
  cli_script later.bmp $'frames 30\ncommand 40004\nframes 50'
  check "32 columns later: as the menu command" same_picture later.ppm later.bmp
  # A state saved, then loaded 50 frames on, runs on as from where it was saved; a block
  # that is no state is refused and changes nothing.
  check "state: runs" drive beep.tkt state.ppm frames:20 save frames:50 garbage load frames:50
  check "state: one fixed size" grep -q "^state size 1048576$" drive.log
  check "state: the garbage refused" grep -q "^garbage refused$" drive.log
  check "70 frames: runs" drive beep.tkt straight.ppm frames:70
  check "120 frames: runs" drive beep.tkt later120.ppm frames:120
  check "state: as 70 frames straight" same_picture state.ppm straight.ppm
  check "state: not as 120 frames" other_picture state.ppm later120.ppm
  # A state file as content: the machine goes on from it; one cut short does not load.
  cli_script saved.bmp "frames 100
answer $work/saved.tkm
command 40090" beep.tkt
  check "a state file: tarvik-cli saved it" test -s saved.tkm
  "$cli" /h --frames 101 --screenshot next.bmp beep.tkt >/dev/null 2>&1
  check "a state file as content: runs" drive saved.tkm saved.ppm frames:1
  check "a state file as content: goes on from it" same_picture saved.ppm next.bmp
  head -c 300 saved.tkm >cut.tkm
  check "a state file cut short: not loaded" eval '! drive cut.tkm cut.ppm frames:1'
  check "a state file cut short: the reason" grep -q "Tarvik.*ellenőrzőösszeg" drive.log
  ;;
*) echo "unknown case: $case_name" >&2; exit 2 ;;
esac
[ "$failures" = 0 ] || { echo "--- RetroArch's output"; grep -i "tarvik\|content\|error" ra.log | tail -30; }
exit $((failures > 0))
