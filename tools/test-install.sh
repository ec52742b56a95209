#!/usr/bin/env bash
# Builds the Debian package from a Release build (build/package), unpacks it into a throw-away
# root and checks it as a new user would meet it: the declared dependencies, the desktop entry
# and AppStream metadata, tessel-cli on a sample page (the same HTML as the build tree's), and
# the desktop program started headless until its window is idle, seeding the user's folder.
#   tools/test-install.sh            (tools/test.sh runs it last)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=build/package
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSEL_SANITIZE=OFF \
  -DTESSEL_TESTS=OFF -DTESSEL_BENCH=OFF "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/brindle-tessel_*.deb
(cd "$build" && timeout 600 cpack -G DEB)
deb=$(ls "$build"/brindle-tessel_*.deb)
echo "Package: $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch" || true' EXIT
fail() {
  echo "test-install: $*" >&2
  exit 1
}

# The dependencies come from the linked libraries (dpkg-shlibdeps), the fonts by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6svg6 libc6 fonts-liberation; do
  [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed"
done

root=$scratch/root
dpkg -x "$deb" "$root"
usr=$root/usr
for file in bin/tessel bin/tessel-cli share/brindle-tessel/Themes.dat share/brindle-tessel/help/index.html \
  share/brindle-tessel/Fields.ini share/brindle-tessel/Tips.txt share/mime/packages/brindle-tessel.xml \
  share/man/man1/tessel-cli.1.gz share/icons/hicolor/scalable/apps/brindle-tessel.svg \
  share/icons/hicolor/scalable/mimetypes/brindle-tessel-template.svg; do
  [ -s "$usr/$file" ] || fail "$file is missing from the package"
done
for size in 16 22 24 32 48 64 128 256; do
  for icon in apps/brindle-tessel mimetypes/brindle-tessel-template; do
    png=$usr/share/icons/hicolor/${size}x$size/$icon.png
    file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not a $size pixel PNG"
  done
done
# A package made from a sanitized build would not start on a machine without the runtimes.
if ldd "$usr/bin/tessel" "$usr/bin/tessel-cli" | grep -qE 'lib(a|ub)san'; then
  fail "the packaged programs are built with sanitizers"
fi
desktop-file-validate "$usr"/share/applications/*.desktop
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml
man -l "$usr/share/man/man1/tessel-cli.1.gz" >/dev/null

# A new user: nothing in HOME, no settings, no data folder.
fresh_user() {
  local home=$scratch/$1
  mkdir -p "$home/home" "$home/runtime"
  chmod 700 "$home/runtime"
  env -i PATH=/usr/bin:/bin HOME="$home/home" XDG_RUNTIME_DIR="$home/runtime" \
    XDG_DATA_HOME="$home/home/.local/share" XDG_CONFIG_HOME="$home/home/.config" \
    LANG=C.UTF-8 "${@:2}"
}

# tessel-cli: a new page and a delivered template render as they do from the build tree.
for kind in installed built; do
  if [ $kind = installed ]; then bin=$usr/bin; data=$usr/share/brindle-tessel; else
    bin=$source_dir/$build/bin; data=$source_dir/data; fi
  out=$scratch/cli-$kind
  mkdir -p "$out"
  fresh_user "cli-user-$kind" timeout 60 "$bin/tessel-cli" new "$out/page.pgx"
  for mode in 1 2; do
    fresh_user "cli-user-$kind" timeout 60 "$bin/tessel-cli" html "$out/page.pgx" --mode $mode \
      -o "$out/page-$mode.html"
    fresh_user "cli-user-$kind" timeout 60 "$bin/tessel-cli" html "$data/Templates/Photo Page.pgt" \
      --mode $mode -o "$out/photo-$mode.html"
  done
  fresh_user "cli-user-$kind" timeout 60 "$bin/tessel-cli" dump "$out/page.pgx" >"$out/page.txt"
  # The preview draws with Qt's widgets, offscreen, where there is no display at all.
  fresh_user "cli-user-$kind" timeout 60 "$bin/tessel-cli" preview "$data/Templates/Photo Page.pgt" \
    --text >"$out/photo.txt" 2>/dev/null
done
diff -r "$scratch/cli-built" "$scratch/cli-installed" || fail "the installed tessel-cli writes other output"
grep -q "<HTML>\|<html>" "$scratch/cli-installed/page-2.html" || fail "tessel-cli html wrote no page"
[ -s "$scratch/cli-installed/photo.txt" ] || fail "tessel-cli preview showed no text"

# The desktop program, headless, until its main window is up and idle (with the tip of the day
# a new user gets over it); it must seed the user's folder from the installed data.
user=$scratch/gui-user/home
fresh_user gui-user QT_QPA_PLATFORM=offscreen TESSEL_QUIT_WHEN_IDLE=1 timeout 120 "$usr/bin/tessel" ||
  fail "the installed tessel did not start and come to rest (status $?)"
seeded=$user/.local/share/brindle-tessel
for file in Themes.dat Fields.ini Tips.txt help/index.html "Templates/Photo Page.pgt"; do
  cmp -s "$usr/share/brindle-tessel/$file" "$seeded/$file" || fail "the user's folder lacks $file"
done
for folder in TesselFiles Upload/images Upload/backgrounds Palettes; do
  [ -d "$seeded/$folder" ] || fail "the user's folder lacks $folder/"
done
registered=$user/.local/share/applications/example.brindle_software.Tessel.desktop
[ -f "$registered" ] || fail "the program did not register its file types under the installed entry's name"
desktop-file-validate "$registered"
echo "test-install: the package installs and runs"
