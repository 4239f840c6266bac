#!/usr/bin/env bash
# Checks the files that tell the desktop about the program, wherever they are (the source
# tree, or a package's contents):
#   - the desktop entry is valid, takes a file (%f) and lists the preset files' MIME type;
#   - the AppStream metainfo passes `appstreamcli validate --no-net`, has the desktop entry's
#     id, names both programs and the MIME type, and its newest release is VERSION; its
#     screenshots are pictures of docs/ (with DOCS);
#   - the MIME XML is well-formed and, read by update-mime-database into a scratch folder,
#     gives *.kvt the type application/x-zr-preset, a kind of plain text, "ZR preset";
#   - the copyright file is GPL-3, as LICENSE (with LICENSE: the full GPL-3 text).
#
#   tests/package/check-metadata.sh DESKTOP METAINFO MIME_XML COPYRIGHT VERSION [DOCS LICENSE]
# Prints one line per check and "metadata: N passed, M failed" last; exits 1 on a failure.
set -uo pipefail
desktop="$1" metainfo="$2" mime="$3" copyright="$4" version="$5" docs="${6:-}" licence="${7:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
type=application/x-zr-preset

check() {   # check WHAT COMMAND...
    local what=$1
    shift
    if "$@" > "$work/check.log" 2>&1; then
        echo "metadata check: $what: ok"
        passed=$((passed + 1))
    else
        echo "metadata check: $what: FAILED"
        tail -n 30 "$work/check.log"
        failed=$((failed + 1))
    fi
}

entry_key() { sed -n "s/^$1=//p" "$desktop"; }
meta() { xmllint --xpath "$1" "$metainfo"; }

desktop_entry() {
    desktop-file-validate "$desktop" &&
        entry_key Exec | grep -Eq '^zr-remote-connect %[fF]$' &&
        entry_key MimeType | tr ';' '\n' | grep -qx "$type"
}

metainfo_valid() {
    appstreamcli validate --no-net "$metainfo"
}

metainfo_facts() {
    local id
    id="$(basename "$desktop" .desktop)"
    [ "$(meta 'string(/component/id)')" = "$id" ] &&
        [ "$(basename "$metainfo")" = "$id.metainfo.xml" ] &&
        [ "$(meta 'string(/component/launchable[@type="desktop-id"])')" = "$id.desktop" ] &&
        [ "$(meta 'string(/component/releases/release[1]/@version)')" = "$version" ] &&
        [ "$(meta 'count(/component/provides/binary[.="zr-remote-connect" or .="zr-ctl"])')" = 2 ] &&
        [ "$(meta "string(/component/provides/mediatype)")" = "$type" ] &&
        [ -n "$(meta 'string(/component/content_rating/@type)')" ]
}

screenshots_are_the_docs_pictures() {
    local count
    count="$(meta 'count(/component/screenshots/screenshot/image)')"
    [ "$count" -ge 1 ] || return 1
    for i in $(seq "$count"); do
        local image
        image="$(meta "string(/component/screenshots/screenshot[$i]/image)")"
        [ -f "$docs/$(basename "$image")" ] || { echo "no docs/$(basename "$image") for $image"; return 1; }
    done
}

mime_type_read() {
    local comment="//*[local-name()='mime-type'][@type='$type']/*[local-name()='comment']"
    xmllint --noout "$mime" &&
        [ "$(xmllint --xpath "string($comment)" "$mime")" = "ZR preset" ] &&
        mkdir -p "$work/mime/packages" && cp "$mime" "$work/mime/packages/" &&
        update-mime-database "$work/mime" &&
        grep -qx "50:$type:\*.kvt" "$work/mime/globs2" &&
        grep -qx "$type text/plain" "$work/mime/subclasses"
}

licence_agrees() {
    grep -q '^License: GPL-3$' "$copyright" &&
        { [ -z "$licence" ] || { grep -q "GNU GENERAL PUBLIC LICENSE" "$licence" &&
            grep -q "Version 3, 29 June 2007" "$licence" && grep -q "END OF TERMS AND CONDITIONS" "$licence"; }; }
}

check "the desktop entry is valid, takes a file and lists $type" desktop_entry
check "the metainfo passes appstreamcli validate --no-net" metainfo_valid
check "the metainfo names the desktop entry, both programs, the MIME type and release $version" metainfo_facts
[ -z "$docs" ] || check "the metainfo's screenshots are pictures in docs/" screenshots_are_the_docs_pictures
check "the MIME XML gives *.kvt the type $type" mime_type_read
check "the copyright file says GPL-3${licence:+, as LICENSE}" licence_agrees

echo "metadata: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
