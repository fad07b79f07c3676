#!/usr/bin/env bash
# End-to-end runs of tarvik-cli on scripts: start-up with files, pause,
# reset, model and RAM changes, screenshot, snapshot save and load, tape
# image save and autoload, script errors, the firmware's monitor, an AVI
# capture read back by ffprobe, and the captures of a run killed outright.
# Usage: run_scripts.sh TARVIK_CLI CASE
set -uo pipefail
cli="$1"
case_name="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
settings="$work/settings.ini"
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { "$cli" --settings "$settings" "$@"; }

case "$case_name" in
start-up)
  # The default model's banner, 150 frames after start-up.
  out="$(run --frames 150 --screen-text /h /w)" || fail "exit status $?"
  grep -q "Tarvik 4.1 - Szabad ROM" <<<"$out" || fail "no banner: $out"
  [ "$(wc -l <<<"$out")" -eq 32 ] || fail "32 lines expected"
  grep -q "^SyncSpeed=0$" "$settings" || fail "/w not kept"
  ;;
pause-reset-model-ram)
  cat >script.txt <<'SCRIPT'
frames 10
command PAUSE
frames 5
key NEXT
command PAUSE
command MODEL_TARVIK31
frames 100
expect Tarvik 3.1 - Szabad ROM
command RESET
frames 20
command MODEL_DORVANE
frames 100
expect Dorvane - Szabad ROM
command RAM_6K
frames 100
key F1
frames 20
screen-text screen.txt
quit
SCRIPT
  run --script script.txt --verbose /h /w 2>log.txt || fail "exit status $? $(cat log.txt)"
  grep -q "title: Tarvik - (Felfüggesztve)" log.txt || fail "no pause title"
  grep -q "title: Tarvik - (Újraindítva)" log.txt || fail "no resume title"
  grep -q "Dorvane - Szabad ROM" screen.txt || fail "screen text not written"
  grep -q "^Model=2$" "$settings" || fail "model not kept"
  grep -q "^TarvikMemSetup=1$" "$settings" || fail "RAM size not kept"
  ;;
screenshot)
  run --frames 60 --screenshot shot.bmp /h /w || fail "exit status $?"
  printf 'frames 60\nscreenshot second.bmp\ncommand SCREENSHOT\n' >s.txt
  run --script s.txt /h /w || fail "exit status $?"
  for f in shot.bmp second.bmp tarvik0000.bmp; do
    [ "$(stat -c %s "$f")" -eq 16446 ] || fail "$f is not a 16446-byte BMP"
    [ "$(head -c 2 "$f")" = BM ] || fail "$f does not start with BM"
  done
  # The firmware's cursor blinks: the same moment of one run gives the same
  # picture through the script line and the menu command.
  cmp -s second.bmp tarvik0000.bmp || fail "the same screen gives different pictures"
  ;;
snapshot)
  # Save a snapshot with a byte in RAM, change it, load the snapshot back.
  cat >save.txt <<SCRIPT
frames 50
paste 10 PRINT 1\r
frames 100
answer $work/snap
command SNAPSHOT_SAVE
quit
SCRIPT
  run --script save.txt /h /w || fail "save: exit status $?"
  [ "$(stat -c %s snap.tks)" -eq 115238 ] || fail "snapshot size"
  [ "$(head -c 4 snap.tks)" = TK01 ] || fail "snapshot magic"
  # Saved again at once: the running firmware changes RAM (key polls,
  # cursor blink) in every frame.
  printf 'frames 50\nanswer %s\ncommand SNAPSHOT_LOAD\nanswer %s\ncommand SNAPSHOT_SAVE\n' \
    "$work/snap.tks" "$work/again.tks" >load.txt
  run --script load.txt /h /w || fail "load: exit status $?"
  cmp -s <(tail -c +39 snap.tks) <(tail -c +39 again.tks) || fail "RAM differs after loading"
  printf 'answer %s\ncommand SNAPSHOT_LOAD\n' "$work/missing.tks" >bad.txt
  run --script bad.txt /h /w 2>err.txt; true
  grep -q "^Hiba!: " err.txt || fail "no message for a missing snapshot: $(cat err.txt)"
  # A snapshot named on the command line is loaded (a double-click on one starts the program so).
  run --frames 5 --screen-text /h /w snap.tks >screen.txt || fail "command line: exit status $?"
  grep -q "10 PRINT 1" screen.txt || fail "command line: the snapshot's screen: $(cat screen.txt)"
  run --frames 5 /h /w missing.tks 2>err.txt && fail "command line, missing: exit status 0"
  grep -q "^Hiba!: A pillanatfelvétel" err.txt || fail "command line: no message for a missing snapshot"
  ;;
tape-autoload)
  # A tape image saved from memory, autoloaded on the command line.
  cat >save.txt <<SCRIPT
frames 50
fields 5000 501F
answer $work/block.tkt
command SAVE_MEMORY
quit
SCRIPT
  run --script save.txt /h /w || fail "save: exit status $?"
  [ -s block.tkt ] || fail "no tape image"
  run --frames 1 --verbose /h /w "$work/block.tkt" 2>log.txt || fail "exit status $?"
  grep -q "5000h-501Fh" log.txt || fail "no autoload message: $(cat log.txt)"
  printf 'answer %s\ncommand AUTOLOAD\n' "$work/block.tkt" >load.txt
  run --script load.txt --verbose /h /w 2>log2.txt || fail "exit status $?"
  grep -q "sikeresen betöltve" log2.txt || fail "menu autoload: $(cat log2.txt)"
  ;;
script-errors)
  printf 'frames 5\nbogus line\nquit\n' >bad.txt
  run --script bad.txt /h /w 2>err.txt
  [ $? -eq 2 ] || fail "an unknown line must end with status 2"
  grep -q "script line 2: unknown script line: bogus line" err.txt || fail "$(cat err.txt)"
  printf 'frames 50\nexpect NOT ON THE SCREEN\n' >expect.txt
  run --script expect.txt /h /w 2>err.txt
  [ $? -eq 1 ] || fail "a failed expect must end with status 1"
  grep -q "script line 2: expected text not on the screen" err.txt || fail "$(cat err.txt)"
  for line in "frames x" "key NOSUCHKEY" "command 99999" "command 4242" "command NOSUCH" "fields 12345Z 1"; do
    printf '%s\n' "$line" >one.txt
    run --script one.txt /h /w 2>/dev/null
    [ $? -eq 2 ] || fail "\"$line\" must be refused"
  done
  run --script missing-script.txt 2>/dev/null
  [ $? -eq 2 ] || fail "a missing script must be refused"
  run --frames -5 2>/dev/null
  [ $? -eq 2 ] || fail "a negative frame count must be refused"
  ;;
monitor)
  # The interactive monitor reads the queued lines, then the run goes on.
  printf 'frames 10\nmonitor r\nmonitor x\ncommand CONSOLE_MONITOR\nframes 10\nexpect Szabad ROM\n' >mon.txt
  run --script mon.txt /h /w </dev/null >out.txt 2>err.txt || fail "exit status $? $(cat err.txt)"
  grep -q "IX:" out.txt || fail "no register lines: $(cat out.txt)"
  ;;
avi)
  command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup-debian.sh installs ffmpeg)"
  printf 'answer %s\ncommand AVI\nframes 250\ncommand AVI\n' "$work/video.avi" >avi.txt
  run --script avi.txt --verbose /w 2>log.txt || fail "exit status $?"
  grep -q "status: Streaming video... 100 frames written so far. Alt+I to stop." log.txt || fail "100"
  grep -q "status: Streaming video... 200 frames written so far. Alt+I to stop." log.txt || fail "200"
  grep -q "status: Video stream closed. 250 frames written." log.txt || fail "closing"
  v="$(ffprobe -v error -select_streams v:0 -count_frames -show_entries \
    stream=width,height,r_frame_rate,nb_read_frames -of default=nw=1 video.avi)"
  a="$(ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels \
    -show_entries format=duration -of default=nw=1 video.avi)"
  grep -qx "width=512" <<<"$v" && grep -qx "height=256" <<<"$v" || fail "size: $v"
  # 3 MHz over 59 808 T-states a frame, and the few the last instruction
  # of a slice runs over: 50.16 frames a second or a little less.
  r="$(sed -n 's/^r_frame_rate=//p' <<<"$v")"
  awk -v r="$r" 'BEGIN { split(r, f, "/"); x = f[1] / f[2]; exit !(x > 50.14 && x <= 50.1605) }' ||
    fail "rate: $v"
  grep -qx "nb_read_frames=250" <<<"$v" || fail "frames: $v"
  grep -qx "sample_rate=48000" <<<"$a" && grep -qx "channels=1" <<<"$a" || fail "audio: $a"
  d="$(sed -n 's/^duration=//p' <<<"$a")"
  awk -v d="$d" 'BEGIN { exit !(d > 4.98 && d < 4.99) }' || fail "duration: $a"
  # Without sound: video only.
  printf 'answer %s\ncommand AVI\nframes 20\n' "$work/quiet.avi" >quiet.txt
  run --script quiet.txt /h /w || fail "exit status $?"
  n="$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 quiet.avi)"
  [ "$n" = video ] || fail "streams of the silent capture: $n"
  ;;
firmware)
  # Our firmware's monitor driven by pasted lines: bytes written and listed,
  # a text printed into printer.txt, a block saved into a tape image and,
  # after a cold restart, loaded back from it.
  cat >fw.txt <<SCRIPT
frames 50
paste M 4100 48 41 4C 4C 4F\r
frames 20
expect 4100 48 41 4C 4C 4F 00 00 00 HALLO
paste N Árvíztűrő\r
frames 20
expect Nyomtatás kész.
answer $work/hallo.tkt
paste K HALLO 4100 4104\r
frames 50
expect Kész.
command COLD_RESTART
frames 50
answer $work/hallo.tkt
command TAPE_ATTACH
paste B\r
frames 50
expect HALLO 4100-4104
expect Betöltve.
quit
SCRIPT
  run --script fw.txt /h /w 2>err.txt || fail "exit status $? $(cat err.txt)"
  cmp -s printer.txt <(printf '\n\301rv\355zt\373r\365\n') || fail "printer.txt: $(od -c printer.txt)"
  [ "$(stat -c %s hallo.tkt)" -eq 275 ] || fail "tape image size $(stat -c %s hallo.tkt)"
  # The Dorvane speaks with the sound off as well.
  printf 'command MODEL_DORVANE\nframes 100\npaste H\\r\nframes 150\nexpect Beszéd...\nscreen-text speech.txt\n' >say.txt
  run --script say.txt /h /w 2>err.txt || fail "speech: exit status $? $(cat err.txt)"
  grep -q HIBA speech.txt && fail "the speech chip did not answer: $(cat speech.txt)"
  ;;
signals)
  # SIGTERM, SIGINT and SIGHUP end the run as the close box does: the AVI
  # capture, the sound capture and the WAV tape recording are finished with
  # their headers, and the settings changed in the session are written.
  command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup-debian.sh installs ffmpeg)"
  size() { stat -c %s "$1" 2>/dev/null || echo 0; }
  for sig in TERM INT HUP; do
    rm -f video.avi sound.wav tape.wav "$settings"
    cat >sig.txt <<SCRIPT
frames 10
command 40014
answer $work/video.avi
command 40037
answer $work/sound.wav
command 40038
answer $work/tape.wav
command 120
command 122
frames 999999
SCRIPT
    "$cli" --settings "$settings" --script sig.txt --verbose 2>log.txt & # the signals go to it
    pid=$!
    deadline=$((SECONDS + 60))
    until [ "$(size video.avi)" -gt 200000 ] && [ "$(size sound.wav)" -gt 10000 ] &&
      [ "$(size tape.wav)" -gt 10000 ]; do
      kill -0 "$pid" 2>/dev/null || fail "$sig: the run ended early: $(cat log.txt)"
      [ "$SECONDS" -lt "$deadline" ] || { kill -KILL "$pid"; fail "$sig: no capture data"; }
      sleep 0.1
    done
    kill -"$sig" "$pid"
    wait "$pid" || fail "$sig: exit status $?: $(cat log.txt)"
    n="$(sed -n 's/.*Video stream closed. \([0-9]*\) frames written./\1/p' log.txt)"
    [ -n "$n" ] && [ "$n" -gt 0 ] || fail "$sig: no closing message: $(cat log.txt)"
    v="$(ffprobe -v error -select_streams v:0 -count_frames -show_entries \
      stream=nb_frames,nb_read_frames -of default=nw=1 video.avi)"
    grep -qx "nb_frames=$n" <<<"$v" && grep -qx "nb_read_frames=$n" <<<"$v" ||
      fail "$sig: $n frames reported, ffprobe: $v"
    python3 - sound.wav tape.wav <<'PY' || fail "$sig: WAV files"
import os, sys, wave
for name in sys.argv[1:]:
    with wave.open(name) as w:
        data = w.getnframes() * w.getsampwidth() * w.getnchannels()
        assert data > 0 and data == os.path.getsize(name) - 44, (name, data)
PY
    grep -q "^Model=0$" "$settings" || fail "$sig: settings not written"
  done
  ;;
hard-stop)
  # A run killed outright (SIGKILL) at a random moment while it writes the
  # AVI capture, the sound capture and the WAV tape recording: no close
  # fixes the headers, yet each describes what is in the file to within a
  # second (the AVI's frame count within 50 of the frames ffprobe decodes).
  command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup-debian.sh installs ffmpeg)"
  size() { stat -c %s "$1" 2>/dev/null || echo 0; }
  cat >kill.txt <<SCRIPT
frames 10
command MODEL_TARVIK31
answer $work/video.avi
command AVI
answer $work/sound.wav
command SOUND_RECORD
answer $work/tape.wav
command WAV_CREATE
command WAV_PLAY_RECORD
frames 999999
SCRIPT
  for round in 1 2 3; do
    rm -f video.avi sound.wav tape.wav
    # Past a few seconds of capture (about 0.9 MB of AVI a second), then a
    # random amount more.
    target=$((4000000 + RANDOM * 1000))
    "$cli" --settings "$settings" --script kill.txt /w 2>log.txt &
    pid=$!
    deadline=$((SECONDS + 60))
    until [ "$(size video.avi)" -gt "$target" ] && [ "$(size sound.wav)" -gt 400000 ] &&
      [ "$(size tape.wav)" -gt 200000 ]; do
      kill -0 "$pid" 2>/dev/null || fail "round $round: the run ended early: $(cat log.txt)"
      [ "$SECONDS" -lt "$deadline" ] || { kill -KILL "$pid"; fail "round $round: no capture data"; }
      sleep 0.02
    done
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    decoded="$(ffprobe -v error -count_frames -select_streams v:0 -show_entries \
      stream=nb_read_frames -of csv=p=0 video.avi)"
    python3 - "$decoded" video.avi sound.wav tape.wav <<'PY' || fail "round $round"
import os, struct, sys, wave
decoded, avi, wavs = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
with open(avi, "rb") as f:
    data = f.read(1 << 16)
le32 = lambda at: struct.unpack_from("<I", data, at)[0]
assert data[:4] == b"RIFF" and data[8:12] == b"AVI ", "not an AVI"
# The chunks of the "hdrl" list: avih, then the streams' lists with their strh.
counts, at = {}, 24
while at < 12 + le32(16):
    code, n = data[at:at + 4], le32(at + 4)
    if code == b"avih":
        counts["avih"] = le32(at + 8 + 16)
        assert not le32(at + 8 + 12) & 0x10, "an old index claimed before there is one"
    elif code == b"LIST" and data[at + 8:at + 12] == b"strl":
        counts.setdefault("strh", le32(at + 12 + 8 + 32))
    at += 8 + n + (n & 1)
size = os.path.getsize(avi)
print(f"AVI: {size} bytes, RIFF {le32(4) + 8}, header frames {counts}, ffprobe decodes {decoded}")
assert le32(4) + 8 <= size, "the RIFF runs past the end of the file"
for name, frames in counts.items():
    assert 0 < frames and abs(frames - decoded) <= 50, (name, frames, decoded)
for name in wavs:
    with wave.open(name) as w:
        second = w.getframerate() * w.getsampwidth() * w.getnchannels()
        header = w.getnframes() * w.getsampwidth() * w.getnchannels()
    present = os.path.getsize(name) - 44
    print(f"{name}: {present} bytes of samples, the header counts {header}")
    assert 0 < header <= present < header + second, (name, header, present)
PY
  done
  ;;
monitor-signal)
  # A signal while the interactive monitor waits for a line ends the wait,
  # and the run closes as the close box does: the settings are written.
  mkfifo in.fifo
  exec 3<>in.fifo # held open: no line ever comes
  printf 'frames 10\ncommand MODEL_TARVIK31\nframes 10\ncommand CONSOLE_MONITOR\nframes 999999\n' >mon.txt
  for sig in TERM INT; do
    rm -f "$settings" out.txt
    "$cli" --settings "$settings" --script mon.txt /h /w <in.fifo >out.txt 2>err.txt &
    pid=$!
    deadline=$((SECONDS + 60))
    until grep -q "Type '?' for help" out.txt; do
      kill -0 "$pid" 2>/dev/null || fail "$sig: the run ended early: $(cat err.txt)"
      [ "$SECONDS" -lt "$deadline" ] || { kill -KILL "$pid"; fail "$sig: no monitor"; }
      sleep 0.1
    done
    kill -"$sig" "$pid"
    deadline=$((SECONDS + 60))
    while kill -0 "$pid" 2>/dev/null; do
      [ "$SECONDS" -lt "$deadline" ] || { kill -KILL "$pid"; fail "$sig: the monitor kept waiting"; }
      sleep 0.1
    done
    wait "$pid" || fail "$sig: exit status $?: $(cat err.txt)"
    grep -q "^Model=0$" "$settings" || fail "$sig: settings not written"
  done
  exec 3>&-
  ;;
full-disk)
  # Writes that fail: files limited in size (RLIMIT_FSIZE) and /dev/full.
  # Every failure is reported, the streams keep what reached the file with
  # correct headers, and whole-file saves leave an existing file untouched.
  command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup-debian.sh installs ffmpeg)"
  limited() { # KBYTES ARGS...: tarvik-cli with files limited to KBYTES
    (
      ulimit -f "$1"
      trap '' XFSZ
      shift
      exec "$cli" --settings "$settings" "$@"
    )
  }
  wav_bytes() { python3 -c 'import sys, wave; w = wave.open(sys.argv[1]); print(w.getnframes() * w.getsampwidth())' "$1"; }
  # AVI capture: stops at the limit, the frames that fit are readable.
  printf 'answer %s\ncommand 40037\nframes 300\ncommand 40037\n' "$work/big.avi" >avi.txt
  limited 1024 --script avi.txt --verbose /w 2>log.txt || fail "avi: exit status $?"
  grep -q "^Hiba!: A videó írása sikertelen" log.txt || fail "avi: no message: $(cat log.txt)"
  n="$(sed -n 's/.*Video stream closed. \([0-9]*\) frames written./\1/p' log.txt)"
  [ -n "$n" ] && [ "$n" -gt 10 ] && [ "$n" -lt 300 ] || fail "avi: frames reported: $n"
  v="$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames \
    -of default=nw=1 big.avi)"
  [ "$v" = "nb_read_frames=$n" ] || fail "avi: $n frames reported, ffprobe: $v"
  # Sound capture and WAV tape recording: the header counts what is in the file.
  printf 'answer %s\ncommand 40038\nframes 200\ncommand 40038\n' "$work/sound.wav" >snd.txt
  limited 64 --script snd.txt --verbose /w 2>log.txt || fail "sound: exit status $?"
  b="$(wav_bytes sound.wav)"
  grep -q "^Hiba!: A hangfelvétel írása sikertelen" log.txt && grep -qx "A file lezárva, $b byte került bele." log.txt ||
    fail "sound: $b bytes, $(cat log.txt)"
  grep -q "status: Audio file lezárva ($b byte)." log.txt || fail "sound: $(cat log.txt)"
  printf 'answer %s\ncommand 120\ncommand 122\nframes 200\ncommand 121\n' "$work/tape.wav" >tw.txt
  limited 64 --script tw.txt --verbose /w 2>log.txt || fail "tape wav: exit status $?"
  b="$(wav_bytes tape.wav)"
  [ "$b" -gt 30000 ] || fail "tape wav: $b bytes"
  grep -q "^Hiba!: A magnófelvétel írása sikertelen" log.txt && grep -qx "A file lezárva, $b byte került bele." log.txt ||
    fail "tape wav: $b bytes, $(cat log.txt)"
  # Whole-file saves: no new file, and an old one stays as it was.
  printf 'old snapshot' >snap.tks
  cat >saves.txt <<SCRIPT
frames 20
answer $work/snap.tks
command 141
fields 4000 7FFF
answer $work/mem.tkt
command 40010
answer $work/shot.bmp
command 129
SCRIPT
  limited 8 --script saves.txt /w 2>log.txt || fail "saves: exit status $?"
  [ "$(cat snap.tks)" = "old snapshot" ] || fail "the old snapshot was lost"
  [ ! -e mem.tkt ] && [ ! -e shot.bmp ] || fail "a half file was left"
  [ -z "$(find . -name '*.tmp')" ] || fail "temporary files were left: $(find . -name '*.tmp')"
  [ "$(grep -c '^Hiba!: ' log.txt)" -eq 3 ] || fail "saves: $(cat log.txt)"
  # /dev/full (through links: the dialogs would add an extension): the
  # sound capture, the AVI capture and the ROM's tape save.
  for f in full.wav full.avi full.tkt; do ln -s /dev/full "$f"; done
  cat >full.txt <<SCRIPT
frames 50
answer $work/full.wav
command 40038
answer $work/full.avi
command 40037
frames 5
answer $work/full.tkt
paste K HALLO 4100 4104\r
frames 50
SCRIPT
  run --script full.txt --verbose /w 2>log.txt || fail "full: exit status $?"
  grep -q "^Hiba!: A kimentés sikertelen." log.txt || fail "full: sound capture: $(cat log.txt)"
  grep -q "^Hiba!: A videó írása sikertelen" log.txt && grep -qx "A file lezárva, 0 képkocka került bele." log.txt ||
    fail "full: avi: $(cat log.txt)"
  grep -q "status: Hiba: a kazetta-file (full.tkt) írása sikertelen" log.txt ||
    fail "full: tape: $(cat log.txt)"
  grep -q "Kazetta-file.*lezárva" log.txt && fail "full: a tape reported closed: $(cat log.txt)"
  [ -c /dev/full ] || fail "/dev/full is gone"
  ;;
avi-rate)
  # Over 30 000 frames the picture and the sound last the same, within a
  # frame, on a Tarvik and on the Veltra-16.
  command -v ffprobe >/dev/null || fail "ffprobe is missing (scripts/setup-debian.sh installs ffmpeg)"
  for model in 40015 40017; do
    printf 'command %s\nframes 5\nanswer %s\ncommand 40037\nframes 30000\ncommand 40037\n' \
      "$model" "$work/long.avi" >rate.txt
    run --script rate.txt /w 2>log.txt || fail "exit status $?: $(cat log.txt)"
    python3 - long.avi <<'PY' || fail "model $model: durations differ"
import json, subprocess, sys
def probe(*args):
    return json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", *args, sys.argv[1]],
                                     check=True, capture_output=True, text=True).stdout)
video = probe("-select_streams", "v:0", "-count_frames", "-show_entries",
              "stream=duration,r_frame_rate,nb_read_frames")["streams"][0]
# The sound's length: the bytes of all its packets, 2 a sample at 48 kHz.
packets = probe("-select_streams", "a:0", "-show_entries", "packet=size")["packets"]
sound = sum(int(p["size"]) for p in packets) / 2 / 48000
num, den = map(int, video["r_frame_rate"].split("/"))
assert int(video["nb_read_frames"]) == 30000, video
difference = abs(float(video["duration"]) - sound)
print(video["r_frame_rate"], video["duration"], sound, difference)
assert difference <= den / num, (video, sound)
PY
    rm -f long.avi
  done
  ;;
typing)
  # Keys as a quick typist gives them: every key down and up between two
  # frames, the digit 0 on the number row, an Alt shortcut whose Alt is let
  # go before its letter, and in symbolic mode Shift let go before its key
  # (Shift+3 is "+" on the Hungarian layout the script types on).
  {
    echo "frames 120"
    for k in L SPACE 0x34 0x31 0x30 0x30; do printf 'keydown %s\nkeyup %s\n' $k $k; done
    printf 'frames 30\nscreen-text typed.txt\nkey RETURN\nframes 20\n'
    printf 'keydown ALT\nkeydown C\nkeyup ALT\nframes 3\nkeyup C\nframes 3\n'
    printf 'keydown ALT\nkeydown C\nkeyup ALT\nkeyup C\nframes 10\nscreen-text alt.txt\n'
    printf 'command SYMBOLIC_KEYBOARD\nframes 5\nkeydown SHIFT\nframes 2\nkeydown 0x33\nframes 2\n'
    printf 'keyup SHIFT\nframes 2\nkeyup 0x33\nframes 10\nscreen-text symbolic.txt\n'
  } >typing.txt
  run --script typing.txt /h /w 2>log.txt || fail "exit status $?: $(cat log.txt)"
  # The prompt's line, without the cursor and the blanks after it.
  prompt() { grep '^>' "$1" | tail -1 | sed 's/[Ź ]*$//'; }
  [ "$(prompt typed.txt)" = "> l 4100" ] || fail "typed: $(prompt typed.txt)"
  grep -q '^4100 ' alt.txt || fail "the listing does not start at 4100: $(cat alt.txt)"
  [ "$(prompt alt.txt)" = ">" ] || fail "Alt+C typed a letter: $(prompt alt.txt)"
  [ "$(prompt symbolic.txt)" = "> +" ] || fail "symbolic: $(prompt symbolic.txt)"
  ;;
settings-and-files)
  # Without --settings the desktop programs' settings file is neither read
  # nor written, and none is made.
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config"
  desktop="$XDG_CONFIG_HOME/tarvik/settings.ini"
  out="$("$cli" --frames 150 --screen-text /h /w)" || fail "exit status $?"
  grep -q "Tarvik 4.1 - Szabad ROM" <<<"$out" || fail "no banner: $out"
  [ ! -e "$desktop" ] || fail "a settings file was made: $(cat "$desktop")"
  mkdir -p "$(dirname "$desktop")"
  printf 'Model=0\nSoundDriver=1\nSyncSpeed=1\n' >"$desktop"
  cp "$desktop" kept.ini
  out="$("$cli" --frames 150 --screen-text /h /w)" || fail "exit status $?"
  grep -q "Tarvik 4.1 - Szabad ROM" <<<"$out" || fail "the desktop's model was read: $out"
  cmp -s "$desktop" kept.ini || fail "the desktop's settings changed: $(cat "$desktop")"
  # A file that does not load: its message on standard error, a failing
  # exit status, with and without --verbose.
  for verbose in "" --verbose; do
    run --frames 10 $verbose /h /w missing.tkt 2>err.txt && fail "exit status 0 for a missing file"
    grep -q "missing.tkt" err.txt || fail "no message: $(cat err.txt)"
  done
  run --frames 10 /h /w game.TKT 2>err.txt && fail "exit status 0 for an unknown kind of file"
  grep -q "game.TKT" err.txt || fail "no message: $(cat err.txt)"
  ;;
replay)
  # A run recorded with typing, a model change, a paste and a reset plays back
  # to the same frames: the hashes agree, and --verify checks the ones stored.
  cat >rec.txt <<'SCRIPT'
frames 60
key L
key SPACE
key 0x34
key 0x31
key 0x30
key 0x30
key RETURN
frames 40
command MODEL_DORVANE
frames 80
paste H
frames 120
key F1
frames 50
SCRIPT
  "$cli" --script rec.txt --record run.tkr --hash-every 25 /h /w >rec-hashes.txt ||
    fail "recording: exit status $?"
  [ "$(wc -l <rec-hashes.txt)" -ge 14 ] || fail "too few hashes: $(cat rec-hashes.txt)"
  "$cli" --replay run.tkr --hash-every 25 --verify /h /w >play-hashes.txt ||
    fail "replay: exit status $?"
  cmp rec-hashes.txt play-hashes.txt || fail "the replay's frames differ from the run's"
  # A hash stored in the recording that is not the machine's: --verify stops there.
  python3 - run.tkr bad.tkr <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
i = data.index(b"HASH", 8)
data[i + 12] ^= 0xFF
open(sys.argv[2], "wb").write(data)
PY
  "$cli" --replay bad.tkr --verify /h /w 2>err.txt >/dev/null
  [ $? -eq 1 ] || fail "a differing frame did not give exit status 1"
  grep -q "eltér" err.txt || fail "no message for the differing frame: $(cat err.txt)"
  # A recording cut short plays up to the cut; a foreign file is refused.
  head -c $(($(stat -c %s run.tkr) * 2 / 3)) run.tkr >cut.tkr
  "$cli" --replay cut.tkr --hash-every 25 --verify /h /w >cut-hashes.txt || fail "cut: exit status $?"
  [ "$(wc -l <cut-hashes.txt)" -ge 2 ] || fail "the cut recording played nothing"
  cmp -s cut-hashes.txt <(head -n "$(wc -l <cut-hashes.txt)" rec-hashes.txt) ||
    fail "the cut recording's frames differ"
  printf 'TKRPxxxx' >foreign.tkr
  "$cli" --replay foreign.tkr /h /w 2>err.txt && fail "a foreign file played"
  grep -q "foreign.tkr" err.txt || fail "no message for a foreign file: $(cat err.txt)"
  # Killed outright while recording: what was written plays back and verifies.
  printf 'frames 100\nkey L\nframes 999999\n' >long.txt
  "$cli" --script long.txt --record killed.tkr /h /w >/dev/null &
  pid=$!
  deadline=$((SECONDS + 60))
  # A hash is stored for every second of frames: killed some 40 seconds in.
  until [ "$(grep -ao HASH killed.tkr 2>/dev/null | wc -l)" -ge 40 ]; do
    kill -0 "$pid" 2>/dev/null || fail "the recording ended early"
    [ "$SECONDS" -lt "$deadline" ] || { kill -KILL "$pid"; fail "the recording did not grow"; }
    sleep 0.05
  done
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  "$cli" --replay killed.tkr --verify --hash-every 50 /h /w >killed-hashes.txt ||
    fail "the killed recording: exit status $?"
  [ "$(wc -l <killed-hashes.txt)" -ge 10 ] || fail "the killed recording played too little"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
