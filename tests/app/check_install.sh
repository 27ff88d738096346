#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks every installed file: the exact list,
# the desktop file, the AppStream metadata, the MIME type, the icons, the sounds, the default
# settings file, the help pages, and that the installed programs run.
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"

id=org.tervalis.Tervalis
sounds=$(grep -oE '^[A-Za-z]+\.wav' "$src/data/sounds.txt")
sizes="16 22 24 32 48 64 128 256"
{
    echo bin/tervalis
    echo bin/tervalis-batch
    echo lib/tervalis/tervalis
    echo lib/tervalis/tervalis-render
    echo lib/tervalis/tv5.ini
    for s in $sounds; do echo "lib/tervalis/$s"; done
    for lang in de en; do
        for f in "$src"/help/$lang/*.html; do echo "share/tervalis/help/$lang/$(basename "$f")"; done
    done
    for f in "$src"/examples/*.TV5 "$src"/examples/README.md; do
        echo "share/tervalis/examples/$(basename "$f")"
    done
    for f in "$src"/examples/tasks/*.TV5 "$src"/examples/tasks/*.tvtask; do
        echo "share/tervalis/examples/tasks/$(basename "$f")"
    done
    echo "share/applications/$id.desktop"
    echo "share/metainfo/$id.metainfo.xml"
    echo "share/mime/packages/$id.xml"
    echo "share/icons/hicolor/scalable/apps/$id.svg"
    for s in $sizes; do echo "share/icons/hicolor/${s}x${s}/apps/$id.png"; done
} | sort > expected.lst
find . \( -type f -o -type l \) ! -name expected.lst ! -name installed.lst | sed 's|^\./||' \
    | sort > installed.lst
diff -u expected.lst installed.lst || fail "installed files differ from the expected list"
rm expected.lst installed.lst

# The program is reached through bin/ and runs from its own folder beside its files.
[ -L bin/tervalis ] || fail "bin/tervalis is not a link"
[ "$(readlink -f bin/tervalis)" = "$prefix/lib/tervalis/tervalis" ] || fail "bin/tervalis link"
[ -x lib/tervalis/tervalis ] && [ -x bin/tervalis-batch ] || fail "programs not executable"
cmp -s lib/tervalis/tv5.ini "$src/data/tv5.ini" || fail "tv5.ini differs from the shipped one"

# Desktop integration.
desktop-file-validate "share/applications/$id.desktop" || fail "desktop file"
grep -qx 'Exec=tervalis %f' "share/applications/$id.desktop" || fail "Exec line"
grep -q '^MimeType=.*application/x-tervalis-model;' "share/applications/$id.desktop" \
    || fail "MimeType"
appstreamcli validate --no-net "share/metainfo/$id.metainfo.xml" >/dev/null || fail "AppStream"
xmllint --noout "share/mime/packages/$id.xml" || fail "MIME XML"
update-mime-database share/mime >/dev/null 2>&1 || fail "update-mime-database"
for glob in '*.tv5' '*.st5'; do
    grep -q ":application/x-tervalis-.*:$glob" share/mime/globs2 || fail "MIME glob $glob"
done
rm -rf share/mime/[a-z]*/ share/mime/globs* share/mime/magic share/mime/aliases \
    share/mime/subclasses share/mime/types share/mime/icons share/mime/generic-icons \
    share/mime/treemagic share/mime/XMLnamespaces share/mime/mime.cache share/mime/version
mkdir -p share/mime/packages

# Icons of the size their folder names, sounds that are PCM wave files, help pages without
# template markers.
/usr/bin/python3 - "$prefix" "$id" $sizes <<'PY'
import struct, sys, pathlib
prefix, app, sizes = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3:]
for s in sizes:
    data = (prefix / f"share/icons/hicolor/{s}x{s}/apps/{app}.png").read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", s
    w, h = struct.unpack(">II", data[16:24])
    assert (w, h) == (int(s), int(s)), (s, w, h)
for wav in (prefix / "lib/tervalis").glob("*.wav"):
    d = wav.read_bytes()
    assert d[:4] == b"RIFF" and d[8:16] == b"WAVEfmt ", wav
    fmt, channels, rate = struct.unpack("<HHI", d[20:28])
    size = struct.unpack("<I", d[40:44])[0]
    assert fmt == 1 and channels == 1 and rate > 8000 and size > 1000 and len(d) == 44 + size, wav
for page in (prefix / "share/tervalis/help").rglob("*.html"):
    text = page.read_text(encoding="utf-8")
    assert "<!--@" not in text and "<h1>" in text, page
PY

# Every sound the program plays is installed.
for wave in $(grep -rhoE '"[A-Za-z]+\.wav"' "$src"/app "$src"/core "$src"/windows "$src"/tools \
              $(for d in logic services exchange render input views money; do [ -d "$src/$d" ] && echo "$src/$d"; done) \
              | tr -d '"' | sort -u); do
    [ -f "lib/tervalis/$wave" ] || fail "sound $wave is played but not installed"
done

# The installed batch tool solves an installed example.
bin/tervalis-batch share/tervalis/examples/02-closed-is-lm.TV5 >/dev/null 2>&1 \
    || fail "tervalis-batch on an installed example"
# It hands a render run to the renderer installed beside the program and its settings file.
bin/tervalis-batch share/tervalis/examples/02-closed-is-lm.TV5 --render is-lm -o "$prefix/is-lm.png" \
    >/dev/null 2>&1 && [ -s "$prefix/is-lm.png" ] || fail "tervalis-batch --render on an installed example"
rm -f "$prefix/is-lm.png"
echo "install ok: $(find . -type f | wc -l) files"
