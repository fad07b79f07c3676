#!/usr/bin/env bash
# The packages of scripts/package.sh, built and checked with each platform's own tools.
#   package_test.sh deb   the .deb's files; lintian, appstreamcli, desktop-file-validate; the
#                         package unpacked into a scratch folder (dpkg -x: the machine's own
#                         packages are not touched), its libraries all found (ldd), its
#                         dependencies installable (apt-get --simulate), both programs run
#                         from there; the libretro core's package: its files, lintian, the
#                         unpacked core run in Debian's RetroArch (tests/libretro's picture case)
#   package_test.sh win   the zip's files; the installer under Wine in a prefix of its own:
#                         silent install, the Start menu entry, the associations, the installed
#                         Tarvik.exe runs a script to the banner, the silent uninstall removes
#                         the files and the associations and keeps the settings unless /PURGE
#   package_test.sh web   the site folder served under a path of its own to headless Chromium,
#                         which shows the banner
# Builds what it tests (scripts/package.sh builds the programs first).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
source "$repo/tests/wine/testlib.sh"
what="${1:?usage: package_test.sh deb|win|web}"

work="$(mktemp -d)"
run="$repo/tests/wine/run-wine.sh"
prefix="" # the Wine prefix of the win case, stopped and removed at the end
cleanup() {
  [ -z "$prefix" ] || "$run" --prefix "$prefix" --shutdown
  rm -rf -- "$work"
}
trap cleanup EXIT

has() { grep -qF -- "$1" "$2"; }
# The version the build was configured with (CMakeLists.txt's project version).
version_of() { sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$repo/$1/CMakeCache.txt"; }
banner="Tarvik 4.1 - Szabad ROM"

test_deb() {
  local out deb v arch
  out="$("$repo/scripts/package.sh" deb)" || { fail "scripts/package.sh deb"; return; }
  deb="$(sed -n 1p <<<"$out")"
  v="$(version_of build)"
  arch="$(dpkg --print-architecture)"
  check_eq "the package's name holds the version" "tarvik_${v}_${arch}.deb" "$(basename "$deb")"
  check_eq "the package's version" "$v" "$(dpkg-deb -f "$deb" Version)"
  dpkg-deb -c "$deb" | awk '{ print $1, $3, $6 }' >"$work/contents.txt"
  local file size
  for file in usr/bin/tarvik usr/bin/tarvik-cli usr/share/applications/tarvik.desktop \
    usr/share/mime/packages/tarvik.xml usr/share/metainfo/hu.tarvik.Tarvik.metainfo.xml \
    usr/share/man/man1/tarvik.1.gz usr/share/man/man1/tarvik-cli.1.gz \
    usr/share/doc/tarvik/copyright usr/share/doc/tarvik/changelog.gz; do
    check "the package holds /$file" grep -q " \./$file\$" "$work/contents.txt"
  done
  for size in 16 24 32 48 64 128 256; do
    check "the package holds the ${size}x$size icon" \
      grep -q " \./usr/share/icons/hicolor/${size}x$size/apps/tarvik.png\$" "$work/contents.txt"
  done
  check "both programs are executable" test "$(grep -c '^-rwxr-xr-x .* \./usr/bin/' "$work/contents.txt")" = 2
  local depends
  depends="$(dpkg-deb -f "$deb" Depends)"
  for lib in libc6 libgtk-3-0 libsdl2-2.0-0 libstdc++6; do
    check "Depends names $lib (from dpkg-shlibdeps)" grep -q "\b$lib\b" <<<"$depends"
  done

  # No error and no warning; the remarks (I:) are printed. lintian asks not to be run as root.
  lintian --allow-root --tag-display-limit 0 --display-info --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1
  check "lintian reports no error and no warning" test $? -eq 0
  sed 's/^/lintian: /' "$work/lintian.txt"

  local root="$work/root"
  dpkg -x "$deb" "$root"
  check "appstreamcli validates the metainfo" \
    appstreamcli validate --no-net "$root/usr/share/metainfo/hu.tarvik.Tarvik.metainfo.xml"
  check "desktop-file-validate passes the desktop file" \
    desktop-file-validate "$root/usr/share/applications/tarvik.desktop"
  check "the MIME types hold .tkt" has '<glob pattern="*.tkt"/>' "$root/usr/share/mime/packages/tarvik.xml"
  check "the MIME types hold .tks" has '<glob pattern="*.tks"/>' "$root/usr/share/mime/packages/tarvik.xml"
  check "the MIME types hold .tkm" has '<glob pattern="*.tkm"/>' "$root/usr/share/mime/packages/tarvik.xml"
  check "the desktop file opens machine states" has 'application/x-tarvik-machine-state;' \
    "$root/usr/share/applications/tarvik.desktop"
  check "the manual page of tarvik-cli lists --version and the script lines" \
    eval "zcat '$root/usr/share/man/man1/tarvik-cli.1.gz' | grep -q 'version' &&
          zcat '$root/usr/share/man/man1/tarvik-cli.1.gz' | grep -q 'screen-text'"
  # The libraries the programs need are all on this machine, as the package's dependencies
  # bring them to another.
  ldd "$root/usr/bin/tarvik" "$root/usr/bin/tarvik-cli" >"$work/ldd.txt" 2>&1
  check "ldd finds every library" eval "! grep -q 'not found' '$work/ldd.txt'"
  apt-get --simulate -o Debug::NoLocking=1 install "$deb" >"$work/apt.txt" 2>&1
  check "apt can install the package's dependencies" has "Inst tarvik ($v" "$work/apt.txt"

  check_eq "tarvik-cli --version" "tarvik-cli $v" "$("$root/usr/bin/tarvik-cli" --version)"
  (cd "$work" && printf 'frames 150\nexpect %s\n' "$banner" |
    "$root/usr/bin/tarvik-cli" --script - --screen-text /h /w >screen.txt 2>cli.txt)
  check "the installed tarvik-cli shows the banner" has "$banner" "$work/screen.txt"
  # The desktop program on a virtual display, in script mode: the banner and the about box.
  printf 'frames 100\nscreen-text %s\ncommand ABOUT\nquit\n' "$work/gtk-screen.txt" >"$work/gtk.txt"
  (cd "$work" && HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    timeout 120 xvfb-run -a "$root/usr/bin/tarvik" /script "$work/gtk.txt" /h /w >/dev/null 2>gtk-log.txt)
  check "the installed tarvik shows the banner" has "$banner" "$work/gtk-screen.txt"
  check "the about box names the version" has "1.4.0 verzió | Kiadás: $v" "$work/gtk-log.txt"
  test_core "$(sed -n 2p <<<"$out")" "$v" "$arch"
}

# The libretro core's package: the core where Debian's RetroArch loads cores from, the .info
# where Debian keeps theirs; the unpacked core runs in RetroArch.
test_core() {
  local deb=$1 v=$2 arch=$3 lib
  lib="usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/libretro"
  check_eq "the core package's name" "libretro-tarvik_${v}_${arch}.deb" "$(basename "$deb")"
  check_eq "its files" \
    "./$lib/tarvik_libretro.so ./usr/share/doc/libretro-tarvik/changelog.gz ./usr/share/doc/libretro-tarvik/copyright ./usr/share/libretro/info/tarvik_libretro.info" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort | xargs)"
  check "Depends names libc6 (from dpkg-shlibdeps)" grep -q '\blibc6 (>=' <<<"$(dpkg-deb -f "$deb" Depends)"
  lintian --allow-root --tag-display-limit 0 --display-info --fail-on error,warning "$deb" >"$work/lintian-core.txt" 2>&1
  check "lintian reports no error and no warning for the core" test $? -eq 0
  sed 's/^/lintian: /' "$work/lintian-core.txt"
  local root="$work/core-root"
  dpkg -x "$deb" "$root"
  local info="$root/usr/share/libretro/info/tarvik_libretro.info"
  check "the .info names the package's version" has "display_version = \"$v\"" "$info"
  check "the .info lists the machine states" grep -q '^supported_extensions = ".*tkm' "$info"
  "$repo/tests/libretro/libretro_test.sh" picture "$root/$lib/tarvik_libretro.so" \
    "$repo/build/tarvik-cli" >"$work/core-run.txt" 2>&1
  check "the unpacked core runs in RetroArch as the program does" test $? -eq 0
  sed 's/^/libretro: /' "$work/core-run.txt"
}

test_win() {
  local out v zip setup
  out="$("$repo/scripts/package.sh" win)" || { fail "scripts/package.sh win"; return; }
  zip="$(sed -n 1p <<<"$out")"
  setup="$(sed -n 2p <<<"$out")"
  v="$(version_of build-win)"
  check_eq "the zip's name holds the version" "tarvik-$v-win64.zip" "$(basename "$zip")"
  check_eq "the installer's name holds the version" "tarvik-$v-win64.exe" "$(basename "$setup")"
  check_eq "the zip's files" \
    "tarvik-$v/LDTKSETUP.EXE tarvik-$v/LICENCE.txt tarvik-$v/README.txt tarvik-$v/Tarvik.exe" \
    "$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort | xargs)"

  prefix="$work/prefix"
  "$run" --prefix "$prefix" --init --display || { fail "a Wine prefix"; return; }
  local programs="$prefix/drive_c/Program Files/Tarvik"
  local menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarvik"
  reg() { "$run" --prefix "$prefix" --stdout "$work/reg.txt" "$prefix/drive_c/windows/system32/reg.exe" "$@" 2>/dev/null; }
  value() { reg query "$1" /ve >/dev/null && awk '/REG_SZ/ { sub(/.*REG_SZ +/, ""); print }' "$work/reg.txt" | tr -d '\r'; }

  "$run" --prefix "$prefix" --timeout 120 "$setup" /S
  check_eq "the silent install's exit status" 0 "$?"
  for file in Tarvik.exe LDTKSETUP.EXE README.txt LICENCE.txt Uninstall.exe; do
    check "installed: $file" test -f "$programs/$file"
  done
  check "the Start menu entry" test -f "$menu/Tarvik.lnk"
  check_eq ".tkt is a Tarvik tape" "Tarvik.Tape" "$(value 'HKCR\.tkt')"
  check_eq ".tks is a Tarvik snapshot" "Tarvik.Snapshot" "$(value 'HKCR\.tks')"
  check_eq ".tkm is a Tarvik machine state" "Tarvik.MachineState" "$(value 'HKCR\.tkm')"
  check_eq "a machine state opens in Tarvik.exe" "\"C:\\Program Files\\Tarvik\\Tarvik.exe\" \"%1\"" \
    "$(value 'HKCR\Tarvik.MachineState\shell\open\command')"
  check_eq "a tape opens in Tarvik.exe" "\"C:\\Program Files\\Tarvik\\Tarvik.exe\" \"%1\"" \
    "$(value 'HKCR\Tarvik.Tape\shell\open\command')"
  check "the uninstaller is registered" \
    reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik' /v UninstallString

  # The installed program runs a script to the banner; at exit it stores its settings.
  printf 'frames 60\nscreen-text screen.txt\ncommand ABOUT\nquit\n' >"$work/script.txt"
  "$run" --prefix "$prefix" --cwd "$work" --display --timeout 180 --env LC_ALL=hu_HU.UTF-8 \
    --stderr "$work/log.txt" "$programs/Tarvik.exe" /script script.txt /h /w
  check_eq "the installed Tarvik.exe's exit status" 0 "$?"
  check "the installed Tarvik.exe shows the banner" has "$banner" "$work/screen.txt"
  check "its about box names the version" has "1.4.0 verzió | Kiadás: $v" "$work/log.txt"
  check "it stored its settings" reg query 'HKCU\Software\Emulators\Tarvik'

  # The uninstaller copies itself away and returns at once: wait for its work.
  "$run" --prefix "$prefix" --timeout 120 "$programs/Uninstall.exe" /S
  check "the silent uninstall removes the program's folder" wait_for 60 eval "[ ! -e '$programs' ]"
  check "and the Start menu entry" wait_for 30 eval "[ ! -e '$menu' ]"
  check "and the .tkt association" eval "! reg query 'HKCR\.tkt' /ve"
  check "and the .tks association" eval "! reg query 'HKCR\Tarvik.Snapshot'"
  check "and the .tkm association" eval "! reg query 'HKCR\.tkm' /ve && ! reg query 'HKCR\Tarvik.MachineState'"
  check "and its registration" eval "! reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik'"
  check "the user's settings stay" reg query 'HKCU\Software\Emulators\Tarvik'

  # Asked to, it removes the settings too.
  "$run" --prefix "$prefix" --timeout 120 "$setup" /S
  check "installed again" test -f "$programs/Uninstall.exe"
  "$run" --prefix "$prefix" --timeout 120 "$programs/Uninstall.exe" /S /PURGE
  check "/PURGE removes the program" wait_for 60 eval "[ ! -e '$programs' ]"
  check "/PURGE removes the user's settings" wait_for 30 eval "! reg query 'HKCU\Software\Emulators\Tarvik'"
}

test_web() {
  local site v
  site="$("$repo/scripts/package.sh" web)" || { fail "scripts/package.sh web"; return; }
  v="$(version_of build-web)"
  check_eq "the folder's name holds the version" "tarvik-$v-web" "$(basename "$site")"
  for file in index.html tarvik.js tarvik.wasm screenshot.png icon-32.png icon-192.png icon-512.png \
    $(ls "$repo/host/web/page"); do
    check "the site holds $file" test -f "$site/$file"
  done
  [ -d "$repo/tests/web/node_modules/puppeteer-core" ] ||
    (cd "$repo/tests/web" && npm ci --no-audit --no-fund >/dev/null)
  node "$here/web_site_test.mjs" "$site" "$v"
  check "the site served under a path of its own shows the banner and the version" test $? -eq 0
}

case "$what" in
  deb) test_deb ;;
  win) test_win ;;
  web) test_web ;;
  *) echo "usage: package_test.sh deb|win|web" >&2; exit 2 ;;
esac
finish
