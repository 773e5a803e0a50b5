#!/usr/bin/env bash
# cmake --install of the build into a fresh prefix, used from there as an
# installed program is: the programs answer --version and --help through
# their links without a display, the installed create-company.sh makes a
# company from the installed schema, the installed pelmora-post signs in to
# it through the driver beside it, and the desktop files hold together.
#
#   install_layout_test.sh BUILD_DIR
. "$(dirname "$0")/../db/schema/lib.sh"

build=${1:?the build directory}
prefix=$work/prefix
id=co.pelmora.contavtascontado

if ! "${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "cmake --install failed" >&2
    exit 1
fi

# As a user's shell runs them: no display, nothing of the build tree.
installed() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LD_LIBRARY_PATH \
        PATH="$prefix/bin:/usr/bin:/bin" "$@"
}

case_begin "the programs answer --version and --help without a display"
for program in contavtascontado pelmora-post; do
    out=$(cd "$work" && installed "$program" --version 2>&1)
    expect_eq "$program --version status" 0 "$?"
    expect_match "$program --version" \
        "^$program 2022\.1\.0\.0 \(product version 1\.0\.0\.0\)"$'\n'"Dranek$" "$out"
    out=$(cd "$work" && installed "$program" --help 2>&1)
    expect_eq "$program --help status" 0 "$?"
    expect_match "$program --help" "PELMORA_REGISTRY.*FIREBIRD_LOCK" "$(tr '\n' ' ' <<<"$out")"
done
out=$(installed contavtascontado --no-such-option 2>&1 >/dev/null)
expect_eq "unknown option status" 2 "$?"
expect_match "unknown option" "unknown option '--no-such-option'" "$out"
out=$(installed contavtascontado -platform 2>&1 >/dev/null)
expect_eq "Qt option without its value" 2 "$?"

case_begin "the programs are links to a private folder that holds the driver"
for program in contavtascontado pelmora-post; do
    link=$(readlink "$prefix/bin/$program")
    expect_match "$program link is relative" "^[^/]" "$link"
    real=$(readlink -f "$prefix/bin/$program")
    expect_match "$program lies under the prefix" "^$prefix/lib[^/]*(/[^/]+)?/pelmora/$program$" "$real"
    [ -x "$real" ] || fail "$program is not executable"
    [ -f "$(dirname "$real")/libsqldrvfb.so" ] || fail "no libsqldrvfb.so beside $program"
done

case_begin "the installed script makes a company from the installed schema"
diff -r "$top/db/schema" "$prefix/share/pelmora/schema" >"$work/schema.diff" \
    || fail "installed schema differs: $(cat "$work/schema.diff")"
suite=$work/suite
db=$(cd "$work" && installed "$prefix/share/pelmora/create-company.sh" --demo "$suite" 001)
expect_eq "database path" "$suite/datos/001/pelmora.fdb" "$db"
expect_eq "demo points of sale" 5 "$(first_value "select count(*) from punto_venta;")"

case_begin "the installed pelmora-post signs in to it through its own driver"
cat >"$work/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Dranek\\PelmoraERP2024]
"Directorio"="$suite"
REG
echo "$suite" >"$suite/SERVIDORES.cfg"
today=$(date +%F)
out=$(cd "$work" && PELMORA_REGISTRY=$work/registry.reg PELMORA_PASSWORD=masterkey \
    installed pelmora-post status --server 1 --user SYSDBA --company 001 \
    --from "$today" --point 1 --json 2>&1)
expect_eq "status exit" 0 "$?"
expect_match "today's sales of point 1 wait" '"status": *"not_posted"' "$out"

case_begin "desktop entry, metainfo, icons, manual pages and systemd units"
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
expect_eq "desktop icon name" "Icon=$id" "$(grep '^Icon=' "$desktop")"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
expect_match "metainfo id" "<id>$id</id>" "$(cat "$metainfo")"
expect_match "metainfo launchable" "<launchable type=\"desktop-id\">$id.desktop<" "$(cat "$metainfo")"
png=$prefix/share/icons/hicolor/32x32/apps/$id.png
# width, height, bit depth and colour type of the PNG header: 32 x 32, 8-bit palette
expect_eq "icon header" "00000020000000200803" "$(od -An -tx1 -j16 -N10 "$png" | tr -d ' \n')"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
else
    echo "  skipped: desktop-file-validate not found (package desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
else
    echo "  skipped: appstreamcli not found (package appstream)"
fi
if command -v help2man >/dev/null; then
    for program in contavtascontado pelmora-post; do
        page=$prefix/share/man/man1/$program.1.gz
        expect_match "$program manual page" "PELMORA_REGISTRY" "$(zcat "$page" 2>&1)"
    done
else
    echo "  skipped: help2man not found, no manual pages"
fi
unit=$prefix/lib/systemd/system/pelmora-post.service
expect_match "service runs the installed program" "exec \"$prefix/bin/pelmora-post\" post" \
    "$(grep '^ExecStart=' "$unit")"
[ -f "$prefix/lib/systemd/system/pelmora-post.timer" ] || fail "no timer"
for doc in copyright changelog.gz; do
    [ -f "$prefix/share/doc/pelmora-contavtascontado/$doc" ] || fail "no $doc"
done

finish
