#!/usr/bin/env bash
# The desktop program for a screen reader and through speech, on a virtual display with a
# session bus and an accessibility bus of its own.   reader_test.sh PATH/tarvik
# reader_test.py reads the picture area's text through AT-SPI and sees a typed line's events;
# with "Felolvasás" on (ReadAloud=1) the listing reaches speech-dispatcher, run here with a
# generic output module that appends what it is to say to spoken.txt (and plays nothing: libao's
# null driver). Every wait polls against a deadline.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${TARVIK_READER_INNER:-}" ]; then
  # Cases run side by side: each looks for a free display from a number of its own.
  exec "${TARVIK_XVFB_RUN:-xvfb-run}" -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24 -nolisten tcp" \
    dbus-run-session -- env TARVIK_READER_INNER=1 "$0" "$@"
fi
source "$here/../wine/testlib.sh"
exe="${1:?usage: reader_test.sh PATH/tarvik}"
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf -- "$work"' EXIT
cd "$work"
unset NO_AT_BRIDGE
export XDG_CONFIG_HOME="$work/config" HOME="$work/home" SDL_AUDIODRIVER=dummy
mkdir -p "$HOME" "$XDG_CONFIG_HOME/tarvik" speechd/modules logs

# The speech service.
echo "default_driver=null" >"$HOME/.libao"
cat >speechd/speechd.conf <<CONF
AddModule "recorder" "sd_generic" "recorder.conf"
DefaultModule recorder
LanguageDefaultModule "hu" "recorder"
AudioOutputMethod "libao"
CONF
cat >speechd/modules/recorder.conf <<CONF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >> $work/spoken.txt"
GenericLanguage "hu" "hu" "utf-8"
AddVoice "hu" "MALE1" "hu"
CONF
modules="$(dirname "$(dpkg -L speech-dispatcher | grep -m1 '/sd_generic$')")"
speech-dispatcher -s -t 0 -C "$work/speechd" -S "$work/speechd.sock" -c unix_socket \
  -m "$modules" -L "$work/logs" >speechd.log 2>&1 &
pids+=($!)
export SPEECHD_ADDRESS="unix_socket:$work/speechd.sock"
check "speech-dispatcher listens" wait_for 20 test -S "$work/speechd.sock"

# The accessibility bus, started by the session bus on the first call; the program starts once
# it answers (GTK would otherwise wait for it at start-up).
a11y_bus() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1
}
check "the accessibility bus answers" wait_for 60 a11y_bus

printf 'ReadAloud=1\n' >"$XDG_CONFIG_HOME/tarvik/settings.ini"
timeout 180 "$exe" /h 2>log.txt >out.txt &
pids+=($!)
window_id() { xdotool search --onlyvisible --name '^Tarvik' 2>/dev/null | head -1; }
have_window() { [ -n "$(window_id)" ]; }
check "window found by its title" wait_for 60 have_window
check "the screen through AT-SPI" /usr/bin/python3 "$here/reader_test.py" "$(window_id)"
spoken_listing() { grep -q '^4100' spoken.txt 2>/dev/null; }
check "the listing spoken" wait_for 30 spoken_listing
# The banner comes while the service may still be starting its module: said once at most.
check "the banner not spoken again" test "$(grep -c 'Tarvik 4.1 - Szabad ROM' spoken.txt)" -le 1
[ "$checks_failed" -eq 0 ] || {
  echo "--- speechd"; tail -5 speechd.log; echo "--- spoken.txt"; cat spoken.txt; echo "--- log"; tail -20 log.txt; }
finish
