#!/bin/sh
# Builds the Debian package from a configured build folder and checks what it
# holds: the programs present, the language files, desktop entry, album type
# and icons, and Depends filled in by dpkg-shlibdeps.
#   packaging/check-deb.sh BUILD_FOLDER
set -eu
build=${1:?usage: check-deb.sh BUILD_FOLDER}
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/fotrix-pocket_*.deb | head -n 1)
contents=$(dpkg-deb -c "$deb")
for path in share/fotrix-pocket/languages/fr.lng share/fotrix-pocket/languages/de.lng \
            share/applications/fotrix.desktop share/mime/packages/fotrix-album.xml \
            share/icons/hicolor/256x256/apps/fotrix-pocket.png share/icons/hicolor/16x16/apps/fotrix-pocket.png; do
    echo "$contents" | grep -q "$path" || { echo "missing: $path" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libc6*) ;; *) echo "Depends lacks libc6: $depends" >&2; exit 1 ;; esac
echo "$deb: $(echo "$contents" | wc -l) entries; Depends: $depends"
