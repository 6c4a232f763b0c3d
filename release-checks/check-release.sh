#!/usr/bin/env bash
# Packs the release as scripts/release does, unpacks the zip and checks it:
# exactly the DLL, the guide, the changes and the licence in one folder named
# for the version, and a DLL that passes the interface check.
# Usage: check-release.sh CPACK CPACK-CONFIG VERSION OBJDUMP WORK-FOLDER
set -euo pipefail
cpack=$1 config=$2 version=$3 objdump=$4 work=$5
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/unpacked"
"$cpack" --config "$config" -B "$work" >/dev/null
zip="$work/tickrail-$version-win64.zip"
[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }
(cd "$work/unpacked" && cmake -E tar xf "$zip")
folder="tickrail-$version-win64"
got=$(cd "$work/unpacked" && find . -type f | sort | tr '\n' ' ')
expected=$(for file in CHANGELOG.md LICENSE guide.md guide.html playground.html top-strip.png left-strip-rows.png alpha-strip.png \
        tickrail.dll; do echo "./$folder/$file"; done | sort | tr '\n' ' ')
if [ "$got" != "$expected" ]; then
    echo "FAIL: the zip holds '$got', expected '$expected'"
    exit 1
fi
grep -q "^## \[$version\]" "$work/unpacked/$folder/CHANGELOG.md" || { echo "FAIL: CHANGELOG.md has no $version"; exit 1; }
grep -q "MIT License" "$work/unpacked/$folder/LICENSE" || { echo "FAIL: LICENSE is not the MIT licence"; exit 1; }
# The HTML guide stands alone: every picture of the Markdown guide inside it.
pictures=$(grep -c '!\[' "$work/unpacked/$folder/guide.md")
inside=$(grep -o 'src="data:image/png;base64,' "$work/unpacked/$folder/guide.html" | wc -l)
[ "$pictures" -gt 0 ] && [ "$inside" -eq "$pictures" ] ||
    { echo "FAIL: guide.html holds $inside pictures, guide.md shows $pictures"; exit 1; }
grep -q 'src="[^d]' "$work/unpacked/$folder/guide.html" && { echo "FAIL: guide.html points outside itself"; exit 1; }
# Every link of the HTML guide to a place in itself leads to a heading.
for target in $(grep -o 'href="#[^"]*"' "$work/unpacked/$folder/guide.html" | sed 's/^href="#//; s/"$//' | sort -u); do
    grep -q " id=\"$target\"" "$work/unpacked/$folder/guide.html" ||
        { echo "FAIL: guide.html links to #$target, which no heading of it carries"; exit 1; }
done
"$here/check-dll-interface.sh" "$objdump" "$work/unpacked/$folder/tickrail.dll"
# The playground page stands alone too, and the guide links into it.
grep -q 'src="[^d]\|<link ' "$work/unpacked/$folder/playground.html" && { echo "FAIL: playground.html points outside itself"; exit 1; }
grep -q 'href="playground.html#run=' "$work/unpacked/$folder/guide.html" || { echo "FAIL: guide.html has no link into playground.html"; exit 1; }
