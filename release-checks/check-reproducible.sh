#!/usr/bin/env bash
# Builds the DLL, the release zip and the test kit a second time, from a
# copy of the source in another folder, and compares them with the first
# build's bytes: no build time, build path or file order may reach them.
# Usage: check-reproducible.sh SOURCE-DIR FIRST-BUILD-DIR WORK-FOLDER
set -euo pipefail
source=$1 first=$2 work=$3
rm -rf "$work"
mkdir -p "$work/source"
# The source as an archive without .git would have it, without the builds.
(cd "$source" && tar --exclude=./build --exclude=./.git -cf - .) | tar -xf - -C "$work/source"
cmake -S "$work/source" -B "$work/build" --toolchain "$work/source/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/build" --target tickrail guide_html playground_html test_kit -j 2 >/dev/null
for build in "$first" "$work/build"; do
    cpack --config "$build/CPackConfig.cmake" -B "$build/reproducible" >/dev/null
done
failed=0
compare() {
    if cmp -s "$1" "$2"; then
        echo "same bytes: $(basename "$1") ($(sha256sum <"$1" | cut -c1-16)...)"
    else
        echo "FAIL: $1 and $2 differ:"
        cmp -l "$1" "$2" | head -5
        failed=1
    fi
}
compare "$first/tickrail.dll" "$work/build/tickrail.dll"
zip=$(basename "$(ls "$first"/reproducible/*.zip)")
compare "$first/reproducible/$zip" "$work/build/reproducible/$zip"
kit=$(basename "$(ls "$first"/tickrail-tests-*-win64.zip)")
compare "$first/$kit" "$work/build/$kit"
exit $failed
