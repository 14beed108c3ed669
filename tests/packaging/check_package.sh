#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what it holds and
# what it needs: the program, its desktop entry, metainfo and icons, the page
# and its site to serve, nothing else, and Qt with a CJK face among its
# dependencies.
#   check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
out="$build/package"
app_id=org.quillmere.Quillmere

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" > "$out/cpack.log" 2>&1 \
    || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/quillmere_*.deb)
echo "package: $(basename "$deb")"

fail() { echo "FAIL: $*"; exit 1; }

expected=(./usr/bin/quillmere ./usr/bin/quillmere-schedule ./usr/share/man/man1/quillmere-schedule.1.gz
    ./usr/share/quillmere/quillmere.html
    ./usr/share/quillmere/site/{index.html,sw.js,manifest.webmanifest,favicon.ico,icon-32.png,icon-192.png,icon-512.png,icon-maskable-512.png,apple-touch-icon.png}
    "./usr/share/applications/$app_id.desktop"
    "./usr/share/metainfo/$app_id.metainfo.xml" ./usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/$app_id.png)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(printf '%s\n' "$files") \
    || fail "the package's files differ from the expected list (- expected, + packaged)"

[ "$(dpkg-deb -f "$deb" Package)" = quillmere ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 2019.6.0.6 ] || fail "version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libxlsxwriter4 libexpat1 libminizip1 qt6-qpa-plugins fonts-noto-cjk fonts-wqy-microhei; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "does not depend on $needed: $depends"
done

desktop-file-validate "$source/packaging/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$source/packaging/$app_id.metainfo.xml" || fail "metainfo"
echo "package checks passed"
