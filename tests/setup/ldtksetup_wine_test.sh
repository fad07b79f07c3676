#!/usr/bin/env bash
# LDTKSETUP.EXE under Wine: where it finds its folder, the bytes of "p.tmp" and "e.tmp", what it
# prints, and how it fails.   ldtksetup_wine_test.sh PATH/LDTKSETUP.EXE
# Runs in the Wine prefix named by TARVIK_WINEPREFIX (CTest's wine_prefix fixture makes it).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../wine/testlib.sh"
run="$here/../wine/run-wine.sh"
exe="${1:?usage: ldtksetup_wine_test.sh PATH/LDTKSETUP.EXE}"
[ -f "$exe" ] || { echo "$exe is missing: build the Windows programs (scripts/build.sh win)" >&2; exit 1; }
[ -n "${TARVIK_WINEPREFIX:-}" ] || { echo "TARVIK_WINEPREFIX is not set (CTest sets it)" >&2; exit 1; }

work="$(mktemp -d)"
default_dir="$TARVIK_WINEPREFIX/drive_c/Program Files/Ludora/Tarvik2 Veltra16"
trap 'rm -rf -- "$work" "$TARVIK_WINEPREFIX/drive_c/Program Files/Ludora"' EXIT

# The expected files for base folder $1, each line ending in CR LF.
expected_p() {
  printf '%s\r\n' \
    "[Games]" \
    "1=${1}games\\tkt" \
    "2=${1}games\\wav" \
    "" \
    "[Pictures]" \
    "1=${1}pictures" \
    "2=" \
    "" \
    "[Extras]" \
    "1=${1}Extras" \
    "" \
    "[Misc]" \
    "Music=${1}Sounds" \
    ""
}
expected_e() {
  printf '%s\r\n' \
    "[Emulators]" \
    "1=Tarvik2" \
    "2=MAME" \
    "3=Tarvik2 wav with Turbo load" \
    "4=" \
    "[File Types]" \
    "SupportTypes=tkt;wav" \
    "[Tarvik2]" \
    "UseShortFilenames=0" \
    "UseDefaultTypes=1" \
    "SupportedTypes=tkt;wav" \
    "EmulatorPathFile=${1}emu\\Tarvik.exe" \
    "ScriptFile=tarvik2.txt" \
    "WaitFinish=1" \
    "1=${1}Scripts\\tarvik2.txt" \
    "2=" \
    "[Tarvik2 wav with Turbo load]" \
    "UseShortFilenames=0" \
    "UseDefaultTypes=0" \
    "SupportedTypes=wav" \
    "EmulatorPathFile=${1}emu\\Tarvik.exe" \
    "ScriptFile=tarvik2wavwithturbo.txt" \
    "WaitFinish=1" \
    "1=" \
    "[MAME]" \
    "UseShortFilenames=0" \
    "UseDefaultTypes=1" \
    "SupportedTypes=tkt;wav" \
    "EmulatorPathFile=${1}emu\\tk2_mame_win\\tarvik2.exe" \
    "ScriptFile=mame.txt" \
    "WaitFinish=1" \
    "1=${1}Scripts\\mame.txt" \
    "2="
}

# check_files DESCRIPTION FOLDER BASE: both files in FOLDER are the expected ones for BASE.
check_files() {
  expected_p "$3" >"$work/expected-p"
  expected_e "$3" >"$work/expected-e"
  check_same_bytes "$1: p.tmp" "$work/expected-p" "$2/p.tmp"
  check_same_bytes "$1: e.tmp" "$work/expected-e" "$2/e.tmp"
}

# setup_run CWD [run-wine.sh options...] PROGRAM: runs the tool, leaving $status, $out, $err.
setup_run() {
  local cwd="$1"
  shift
  "$run" --cwd "$cwd" --stdout "$work/out" --stderr "$work/err" "$@"
  status=$?
  out="$(cat "$work/out")"
  err="$(cat "$work/err")"
}

winpath() { "$run" --prefix "$TARVIK_WINEPREFIX" --winpath "$1"; }

# ---- Run from the folder that holds the tool ----
tools="$work/Ludora collection"
mkdir -p "$tools" "$work/elsewhere"
cp "$exe" "$tools/LDTKSETUP.EXE"
# Old, longer files are replaced whole.
head -c 5000 /dev/zero | tr '\0' 'x' >"$tools/p.tmp"
cp "$tools/p.tmp" "$tools/e.tmp"
base="$(winpath "$tools")\\"
check "Windows path of the folder" grep -q '^Z:\\.*\\Ludora collection\\$' <<<"$base"
setup_run "$tools" "$tools/LDTKSETUP.EXE"
check_eq "run in its folder: exit status" 0 "$status"
check_eq "run in its folder: output" "$(printf '%s\r\nOK\r\n' "$base")" "$out"
check_eq "run in its folder: no error output" "" "$err"
check_files "run in its folder" "$tools" "$base"
# Ten lines hold a path, and each begins with the folder right after its "=".
check_eq "every path in the files starts with the folder" "10 0" \
  "$(cat "$tools/p.tmp" "$tools/e.tmp" | grep -c '\\') $(cat "$tools/p.tmp" "$tools/e.tmp" |
    grep '\\' | grep -cvF "=$base")"

# ---- A second run gives the same bytes ----
cp "$tools/p.tmp" "$work/first-p"
cp "$tools/e.tmp" "$work/first-e"
setup_run "$tools" "$tools/LDTKSETUP.EXE"
check_eq "second run: exit status" 0 "$status"
check_same_bytes "second run: p.tmp unchanged" "$work/first-p" "$tools/p.tmp"
check_same_bytes "second run: e.tmp unchanged" "$work/first-e" "$tools/e.tmp"

# ---- Found along PATH from another current folder ----
rm -f "$tools/p.tmp" "$tools/e.tmp"
setup_run "$work/elsewhere" --path "C:\\nowhere;$(winpath "$tools")" "$tools/LDTKSETUP.EXE"
check_eq "found along PATH: exit status" 0 "$status"
check_eq "found along PATH: output" "$(printf '%s\r\nOK\r\n' "$base")" "$out"
check_files "found along PATH" "$tools" "$base"
check_eq "found along PATH: nothing in the current folder" "" "$(ls -A "$work/elsewhere")"

# ---- Found nowhere: the default folder, which a fresh prefix does not have ----
rm -f "$tools/p.tmp" "$tools/e.tmp"
default_base='c:\Program Files\Ludora\Tarvik2 Veltra16\'
setup_run "$work/elsewhere" "$tools/LDTKSETUP.EXE"
check "default folder missing: exit status not 0" test "$status" -ne 0
check_eq "default folder missing: no OK" "" "$out"
check "default folder missing: the file error names the default folder" \
  grep -qF "LDTKSETUP: cannot create ${default_base}p.tmp: " <<<"$err"
check_eq "default folder missing: nothing written elsewhere" "" \
  "$(ls -A "$work/elsewhere")$(ls "$tools" | grep -v LDTKSETUP.EXE)"

# ---- Found nowhere, with the default folder present ----
mkdir -p "$default_dir"
setup_run "$work/elsewhere" "$tools/LDTKSETUP.EXE"
check_eq "default folder: exit status" 0 "$status"
check_eq "default folder: output" "$(printf '%s\r\nOK\r\n' "$default_base")" "$out"
check_files "default folder" "$default_dir" "$default_base"

# ---- An unwritable base folder: p.tmp cannot be created (a folder of that name) ----
rm -f "$tools/p.tmp" "$tools/e.tmp"
mkdir "$tools/p.tmp"
setup_run "$tools" "$tools/LDTKSETUP.EXE"
check "p.tmp not creatable: exit status not 0" test "$status" -ne 0
check_eq "p.tmp not creatable: no OK" "" "$out"
check "p.tmp not creatable: error reported" grep -qF "cannot create ${base}p.tmp: " <<<"$err"
check "p.tmp not creatable: e.tmp not written" test ! -e "$tools/e.tmp"
rmdir "$tools/p.tmp"

# ---- e.tmp cannot be created: p.tmp stays as written ----
mkdir "$tools/e.tmp"
setup_run "$tools" "$tools/LDTKSETUP.EXE"
check "e.tmp not creatable: exit status not 0" test "$status" -ne 0
check_eq "e.tmp not creatable: no OK" "" "$out"
check "e.tmp not creatable: error reported" grep -qF "cannot create ${base}e.tmp: " <<<"$err"
expected_p "$base" >"$work/expected-p"
check_same_bytes "e.tmp not creatable: p.tmp written" "$work/expected-p" "$tools/p.tmp"
rmdir "$tools/e.tmp"
rm -f "$tools/p.tmp"

# ---- A write that fails: the disk is full ----
if [ -e /dev/full ]; then
  ln -s /dev/full "$tools/p.tmp"
  setup_run "$tools" "$tools/LDTKSETUP.EXE"
  check "disk full: exit status not 0" test "$status" -ne 0
  check_eq "disk full: no OK" "" "$out"
  check "disk full: error reported" grep -qF "cannot write ${base}p.tmp: " <<<"$err"
  rm -f "$tools/p.tmp"
fi

# ---- A folder too long for the front end's lines: refused, nothing written ----
# The folder's Windows form, "Z:" + the Linux path + "\", gets 220 characters: the MAME program
# line would have 265.
deep="$work/$(printf "%$((217 - ${#work} - 1))s" "" | tr ' ' d)"
mkdir -p "$deep"
cp "$exe" "$deep/LDTKSETUP.EXE"
setup_run "$deep" "$deep/LDTKSETUP.EXE"
check "long folder: exit status not 0" test "$status" -ne 0
check_eq "long folder: no OK" "" "$out"
check "long folder: reported" grep -q "is too long: line 29 of e.tmp" <<<"$err"
check_eq "long folder: nothing written" "LDTKSETUP.EXE" "$(ls -A "$deep")"

finish
