#!/usr/bin/env bash
# Builds the packages a user installs into dist/, each named with the project's version (the one
# in CMakeLists.txt, as the build was configured with it):
#   package.sh deb   dist/tarvik_VERSION_ARCH.deb: tarvik and tarvik-cli of the release build
#                    (build/), their manual pages, the desktop entry, the icons, the MIME types
#                    and the AppStream description; its dependencies come from dpkg-shlibdeps;
#                    beside it dist/libretro-tarvik_VERSION_ARCH.deb: the libretro core and its
#                    .info file where Debian's RetroArch looks for them
#   package.sh win   dist/tarvik-VERSION-win64.zip and the installer dist/tarvik-VERSION-win64.exe
#                    (NSIS): Tarvik.exe and LDTKSETUP.EXE of build-win/, a README and the licence
#   package.sh web   dist/tarvik-VERSION-web/: the web page of build-web/ as a folder for any
#                    static host, every path in it relative
# Each builds what it packages first (scripts/build.sh). Prints the packages' paths, one a line.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
what="${1:-}"
dist="$root/dist"
umask 022

die() {
  echo "package.sh: $*" >&2
  exit 1
}

# The version of the configured build in folder $1.
build_version() {
  local v
  v="$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null)"
  [[ "$v" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || die "no project version in $1/CMakeCache.txt"
  echo "$v"
}

# The release notes name the version too: the newest entry of each must be this one.
check_release_notes() {
  local v="$1" top
  top="$(sed -n '1s/^tarvik (\([^)]*\)).*/\1/p' packaging/debian/changelog)"
  [ "$top" = "$v" ] || die "packaging/debian/changelog begins with $top, the build is $v: add an entry"
  top="$(grep -o '<release version="[^"]*"' packaging/hu.tarvik.Tarvik.metainfo.xml | head -1 |
    cut -d'"' -f2)"
  [ "$top" = "$v" ] ||
    die "packaging/hu.tarvik.Tarvik.metainfo.xml's newest release is $top, the build is $v: add one"
}

# build_deb STAGE CONTROL-TEMPLATE DEB: the control file (with $v, $arch, $depends and the installed
# size), the checksums, and the package from the staged usr/ tree; prints the package's path.
build_deb() {
  local stage="$1" template="$2" deb="$3" size
  size="$(find "$stage/usr" -type f -printf '%s\n' | awk '{ k += int(($1 + 1023) / 1024) } END { print k }')"
  sed -e "s/@VERSION@/$v/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
    "$template" >"$stage/DEBIAN/control"
  (cd "$stage" && find usr -type f -printf '%P\n' | LC_ALL=C sort | sed 's|^|usr/|' |
    xargs md5sum >DEBIAN/md5sums)
  chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
  rm -f "$deb"
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
  echo "$deb"
}

package_deb() {
  scripts/build.sh release tarvik tarvik-cli tarvik_icons tarvik_libretro >/dev/null
  local v arch work stage depends
  v="$(build_version build)"
  check_release_notes "$v"
  arch="$(dpkg --print-architecture)"
  work="$root/build/package-deb"
  stage="$work/tarvik"
  rm -rf "$work"
  mkdir -p "$stage/DEBIAN" "$dist"
  DESTDIR="$stage" cmake --install build --prefix /usr >/dev/null
  strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    "$stage/usr/bin/tarvik" "$stage/usr/bin/tarvik-cli"
  gzip -9n "$stage"/usr/share/man/man1/*.1
  install -d "$stage/usr/share/doc/tarvik"
  install -m 0644 packaging/LICENCE.txt "$stage/usr/share/doc/tarvik/copyright"
  gzip -9n <packaging/debian/changelog >"$stage/usr/share/doc/tarvik/changelog.gz"

  # The libraries the programs link, as Debian's packages of them name their versions.
  mkdir -p "$work/src/debian"
  printf 'Source: tarvik\n\nPackage: tarvik\nArchitecture: any\n' >"$work/src/debian/control"
  local depends
  depends="$(cd "$work/src" && dpkg-shlibdeps -O "$stage/usr/bin/tarvik" "$stage/usr/bin/tarvik-cli" |
    sed -n 's/^shlibs:Depends=//p')"
  [ -n "$depends" ] || die "dpkg-shlibdeps found no libraries"

  find "$stage" -type d -exec chmod 0755 {} +
  find "$stage/usr" -type f -exec chmod 0644 {} +
  chmod 0755 "$stage/usr/bin/tarvik" "$stage/usr/bin/tarvik-cli"
  # Installed-Size: the files in KiB, each rounded up, as dpkg counts them.
  build_deb "$stage" packaging/debian/control.in "$dist/tarvik_${v}_${arch}.deb"
  package_core "$v" "$arch"
}

# The libretro core's own package: the core in the folder Debian's RetroArch loads cores from,
# its .info file where Debian keeps the cores' descriptions (libretro-core-info).
package_core() {
  local v="$1" arch="$2" work stage triplet cores info depends
  triplet="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
  work="$root/build/package-libretro"
  stage="$work/libretro-tarvik"
  cores="$stage/usr/lib/$triplet/libretro"
  info="$stage/usr/share/libretro/info"
  rm -rf "$work"
  mkdir -p "$stage/DEBIAN" "$cores" "$info" "$stage/usr/share/doc/libretro-tarvik"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    -o "$cores/tarvik_libretro.so" build/tarvik_libretro.so
  # The front end shows display_version: the package's version.
  sed "s/^display_version = .*/display_version = \"$v\"/" host/libretro/tarvik_libretro.info \
    >"$info/tarvik_libretro.info"
  install -m 0644 packaging/LICENCE.txt "$stage/usr/share/doc/libretro-tarvik/copyright"
  gzip -9n <packaging/debian/changelog >"$stage/usr/share/doc/libretro-tarvik/changelog.gz"

  mkdir -p "$work/src/debian"
  printf 'Source: tarvik\n\nPackage: libretro-tarvik\nArchitecture: any\n' >"$work/src/debian/control"
  depends="$(cd "$work/src" && dpkg-shlibdeps -O "$cores/tarvik_libretro.so" |
    sed -n 's/^shlibs:Depends=//p')"
  [ -n "$depends" ] || die "dpkg-shlibdeps found no libraries for the core"

  find "$stage" -type d -exec chmod 0755 {} +
  find "$stage/usr" -type f -exec chmod 0644 {} +
  build_deb "$stage" packaging/debian/control-libretro.in "$dist/libretro-tarvik_${v}_${arch}.deb"
}

package_win() {
  scripts/build.sh win Tarvik ldtksetup >/dev/null
  local v work folder zip setup
  v="$(build_version build-win)"
  work="$root/build-win/package"
  folder="$work/tarvik-$v"
  rm -rf "$work"
  mkdir -p "$folder" "$dist"
  x86_64-w64-mingw32-strip -o "$folder/Tarvik.exe" build-win/Tarvik.exe
  x86_64-w64-mingw32-strip -o "$folder/LDTKSETUP.EXE" build-win/LDTKSETUP.EXE
  # Text files with the line ends of Windows.
  sed -e "s/@VERSION@/$v/" -e 's/$/\r/' packaging/windows/README.txt >"$folder/README.txt"
  sed -e 's/$/\r/' packaging/LICENCE.txt >"$folder/LICENCE.txt"
  touch -d @0 "$folder"/*
  zip="$dist/tarvik-$v-win64.zip"
  rm -f "$zip"
  (cd "$work" && zip -q -X -r "$zip" "tarvik-$v")
  setup="$dist/tarvik-$v-win64.exe"
  makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$v" "-DFILES=$folder" "-DOUTFILE=$setup" \
    packaging/windows/tarvik.nsi >&2
  echo "$zip"
  echo "$setup"
}

package_web() {
  env -u CMAKE_CXX_COMPILER_LAUNCHER scripts/build.sh web >/dev/null
  local v site name
  v="$(build_version build-web)"
  site="$dist/tarvik-$v-web"
  rm -rf "$site"
  mkdir -p "$site"
  # The program and every file of the page (host/web/page), whatever the page adds.
  cp build-web/tarvik.js build-web/tarvik.wasm build-web/icon-*.png "$site/"
  for file in host/web/page/*; do
    cp "build-web/$(basename "$file")" "$site/"
  done
  cp packaging/screenshot.png "$site/"
  # A path that begins with "/" or names a host would leave the folder.
  if grep -nE '(src|href)="(/|[a-z]+://)|url\(/|"(src|start_url|scope)": *"(/|[a-z]+://)' \
    "$site"/*.html "$site"/*.css "$site"/*.webmanifest; then
    die "the page names a path outside its folder (above)"
  fi
  echo "$site"
}

case "$what" in
  deb) package_deb ;;
  win) package_win ;;
  web) package_web ;;
  *) echo "usage: package.sh deb|win|web" >&2; exit 2 ;;
esac
