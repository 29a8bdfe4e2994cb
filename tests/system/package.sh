#!/usr/bin/env bash
# The Debian package as a user would install it: built by CPack from this build, its
# dependencies computed, unpacked into a scratch root, and what it installs validated.
source "$(dirname "$0")/lib.bash"
BUILD="$2"

cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/pkg" > "$WORK/cpack.log" 2>&1 \
  || fail "cpack failed: $(tail -20 "$WORK/cpack.log")"
deb=$(ls "$WORK"/pkg/quillon_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package was made: $(ls "$WORK/pkg")"

# Dependencies come from the libraries the programme links; the engine's helper process comes with them.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6webenginecore6 libqt6webenginewidgets6 libqt6widgets6 libx11-6 libc6 libqt6webenginecore6-bin; do
  grep -Eq "(^|, )$needed( |,|\$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = quillon ] || fail "the package is not called quillon"

root="$WORK/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/quillon usr/share/applications/quillon.desktop usr/share/metainfo/org.example.quillon.metainfo.xml \
         usr/share/man/man1/quillon.1.gz usr/share/icons/hicolor/scalable/apps/quillon.svg usr/share/quillon/TIPOFDAY.TXT; do
  [ -s "$root/$f" ] || fail "the package does not install $f"
done
if find "$root" -mindepth 1 -path "$root/usr" -prune -o -print | grep -q .; then
  fail "the package installs outside /usr: $(find "$root" -mindepth 1 -maxdepth 1)"
fi

desktop-file-validate "$root/usr/share/applications/quillon.desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=quillon %U' "$root/usr/share/applications/quillon.desktop" || fail "the desktop entry does not take %U"
for type in x-scheme-handler/http x-scheme-handler/https text/html application/x-mswinurl; do
  grep -q "^MimeType=.*$type;" "$root/usr/share/applications/quillon.desktop" || fail "the desktop entry does not handle $type"
done
# The desktop's own index of handlers, as the package's triggers build it, offers Quillon for web links.
update-desktop-database "$root/usr/share/applications"
for type in x-scheme-handler/http x-scheme-handler/https text/html application/x-mswinurl; do
  grep -qx "$type=quillon.desktop;" "$root/usr/share/applications/mimeinfo.cache" || fail "no handler index entry for $type"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.quillon.metainfo.xml" > "$WORK/as.log" 2>&1 \
  || fail "the metainfo does not validate: $(cat "$WORK/as.log")"
# The metainfo names the desktop entry and icon the package really installs.
appstreamcli validate-tree --no-net "$root" > "$WORK/tree.log" 2>&1 || fail "the installed tree does not validate: $(cat "$WORK/tree.log")"
MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/quillon.1.gz" > "$WORK/man.txt" 2> "$WORK/man.err" \
  && [ ! -s "$WORK/man.err" ] || fail "the manual page has faults: $(cat "$WORK/man.err")"
grep -q -- '--version' "$WORK/man.txt" || fail "the manual page does not describe --version"

# The installed programme runs from the scratch root and is the one that was built.
[ "$(env -u DISPLAY "$root/usr/bin/quillon" --version)" = "Quillon 2.1" ] || fail "the installed programme does not run"
echo "package: 4 passed, 0 failed"
