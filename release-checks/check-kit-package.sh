#!/usr/bin/env bash
# Unpacks the test kit and checks it: run-tests.cmd (with the line ends
# cmd.exe reads) and the tickrail.dll of this build in the kit's folder; the
# test program, the stand-in TakeCmd.dll and what the cases read in
# standin/, never beside the product DLL; no path of the build machine in any
# file.
# Usage: check-kit-package.sh KIT-ZIP TICKRAIL-DLL SOURCE-DIR WORK-FOLDER
set -euo pipefail
zip=$1 dll=$2 source=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }
(cd "$work" && cmake -E tar xf "$zip")
folder=$(basename "$zip" .zip)
got=$(cd "$work" && find . -type f | sort)
expected=$( (for file in run-tests.cmd tickrail.dll standin/tickrail_tests.exe standin/TakeCmd.dll \
        standin/test-data/rgb.txt standin/test-data/docs/guide.md; do echo "./$folder/$file"; done
    cd "$source" && find src -name '*.cpp' | sed "s|^|./$folder/standin/test-data/|") | sort)
[ "$got" = "$expected" ] || { echo "FAIL: the kit holds:"; diff <(echo "$expected") <(echo "$got"); exit 1; }
cmp -s "$dll" "$work/$folder/tickrail.dll" || { echo "FAIL: the kit's tickrail.dll is not this build's"; exit 1; }
lines=$(wc -l <"$work/$folder/run-tests.cmd")
crlf=$(grep -c $'\r$' "$work/$folder/run-tests.cmd")
[ "$lines" -eq "$crlf" ] || { echo "FAIL: run-tests.cmd has $((lines - crlf)) lines without CR LF"; exit 1; }
if grep -rlF "$source" "$work/$folder"; then echo "FAIL: the build's path in the files above"; exit 1; fi
echo "the test kit holds $(echo "$got" | wc -l) files, as expected"
