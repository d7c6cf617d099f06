#!/usr/bin/env bash
# Checks a Debian package that script/package built: lintian without errors or warnings (a program
# built for another architecture than the package's is one), its build log clean for blhc (every
# compiler call with Debian's hardening flags), the desktop entry and the AppStream metainfo valid
# as packed, every file a desktop needs in it, and the dependencies that a system installed
# without recommended packages lacks. A package of this machine's architecture is built once more
# from the source package beside it, unpacked elsewhere by dpkg-source: the same bit for bit.
#   tests/deb_pruefen.sh dist/wendelkamm_1.00-1_amd64.deb build-deb/wendelkamm_amd64.build
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$1
protokoll=$2
# The application id and the icon theme's sizes, as configuring wrote them (script/package does).
source build-programm/wendelkamm.env
id=$WENDELKAMM_ID

echo "lintian $deb"
lintian --fail-on error,warning --display-info "$deb"
echo "blhc $protokoll"
grep -q ' -D_FORTIFY_SOURCE=2 ' "$protokoll" || { echo "$protokoll shows no compiler call" >&2; exit 1; }
blhc "$protokoll"

inhalt=$(mktemp -d)
trap 'rm -rf "$inhalt"' EXIT
dpkg-deb -x "$deb" "$inhalt"
desktop-file-validate "$inhalt/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --strict "$inhalt/usr/share/metainfo/$id.metainfo.xml"

dateien=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
fehlt=0
for datei in usr/bin/wendelkamm usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml usr/share/man/man1/wendelkamm.1.gz \
    usr/share/doc/wendelkamm/copyright usr/share/doc/wendelkamm/changelog.Debian.gz \
    $(for s in $WENDELKAMM_SYMBOLE_THEMA; do echo "usr/share/icons/hicolor/${s}x$s/apps/$id.png"; done); do
    if ! grep -qxF "./$datei" <<<"$dateien"; then
        echo "not in the package: /$datei" >&2
        fehlt=1
    fi
done

abhaengig=$(dpkg-deb -f "$deb" Depends)
for paket in libqt6widgets6 qt6-qpa-plugins fonts-liberation; do
    if ! grep -qE "(^|, )$paket( |,|$)" <<<"$abhaengig"; then
        echo "the package does not depend on $paket: $abhaengig" >&2
        fehlt=1
    fi
done
[ "$fehlt" -eq 0 ]
echo "$deb: lintian and blhc clean, desktop entry and metainfo valid, all files and dependencies there"

# The source package beside a package of this machine, unpacked elsewhere and built, gives it.
if [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ]; then
    dpkg-source -x "${deb%_*}.dsc" "$inhalt/baum" >/dev/null
    (cd "$inhalt/baum" && dpkg-buildpackage -b -us -uc >"$inhalt/bau.log" 2>&1) ||
        { tail -n 30 "$inhalt/bau.log" >&2; exit 1; }
    cmp "$deb" "$inhalt/${deb##*/}"
    echo "${deb%_*}.dsc, unpacked in $inhalt/baum and built, gives $deb bit for bit"
fi
