#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a user gets: the installed
# vistrel-cli runs, the help file, the desktop entry, the AppStream metainfo, the icons, the
# manual pages and the bash completion are in place and valid; then builds the Debian package and
# lists its files.
#   scripts/install_test.sh BUILD_DIR SAMPLE_PICTURE
set -euo pipefail
build=$(realpath "$1")
sample=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

"$prefix/bin/vistrel-cli" info "$sample"
# The portal helper is where the installed tool looks: with no session bus to ask, the capture
# fails as a portal failure, not as a helper that cannot be started.
test -x "$prefix/libexec/vistrel/vistrel-portal-grab"
set +e
message=$(env -u DISPLAY VISTREL_GRAB=portal DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    XDG_CONFIG_HOME="$work/config" "$prefix/bin/vistrel-cli" capture --folder "$work" 2>&1)
status=$?
set -e
if [ "$status" != 1 ] || grep -q "cannot start" <<<"$message" \
    || ! grep -q "36007:3000:20" <<<"$message"; then
    echo "the installed vistrel-cli did not reach its portal helper (status $status): $message" >&2
    exit 1
fi
test -x "$prefix/bin/vistrel"
test -f "$prefix/share/vistrel/vistrel_(en).htm"
desktop-file-validate "$prefix/share/applications/vistrel.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.ornwick.Vistrel.metainfo.xml" >/dev/null
for icon in scalable/apps/vistrel.svg 48x48/apps/vistrel.png 128x128/apps/vistrel.png; do
    test -s "$prefix/share/icons/hicolor/$icon"
done
# The manual pages format without a warning from groff or tbl, at the width a terminal has.
for page in vistrel vistrel-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "man $page: $warnings" >&2
        exit 1
    fi
    MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^SYNOPSIS"
done
# The completion file is bash that defines the completion of vistrel-cli.
bash -c "source '$prefix/share/bash-completion/completions/vistrel-cli' && complete -p vistrel-cli" \
    >/dev/null

# The package: built apart from the build tree's own packaging folder.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/vistrel_*.deb)
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends'
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
for file in usr/bin/vistrel usr/bin/vistrel-cli usr/libexec/vistrel/vistrel-portal-grab \
    "usr/share/vistrel/vistrel_(en).htm" \
    usr/share/applications/vistrel.desktop usr/share/metainfo/org.ornwick.Vistrel.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/vistrel.svg usr/share/man/man1/vistrel.1.gz \
    usr/share/man/man1/vistrel-cli.1.gz usr/share/bash-completion/completions/vistrel-cli; do
    grep -qF "./$file" <<<"$contents" || { echo "missing from the package: $file" >&2; exit 1; }
done
echo "install test passed"
