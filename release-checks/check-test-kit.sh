#!/usr/bin/env bash
# Runs the test kit as a user runs it, under Wine: unpacked into a folder
# with a space in its name, in a fresh prefix that holds nothing else of the
# build, through `wine cmd /c run-tests.cmd`. Checks that a settings key
# seeded before (values of several types, beside another plug-in's key)
# is the same, byte for byte, after a run that ends early and the next start,
# and after a whole run; that the whole run's last line counts as passed or
# skipped (with its reason) every case that the Wine run passed or skipped;
# and that
# the kit wrote nothing outside its folder but its log and its results.
# Needs DISPLAY (scripts/wine-env.sh).
# Usage: check-test-kit.sh KIT-ZIP WORK-FOLDER CASES-PASSED-OR-SKIPPED-UNDER-WINE
set -euo pipefail
zip=$1 work=$2 expected=$3
here=$(cd "$(dirname "$0")/.." && pwd)
set -a
source "$here/wine/wine.env"
set +a
export WINEPREFIX="$work/prefix"
rm -rf "$work"
mkdir -p "$work"
"$here/wine/make-prefix.sh"
kit="$WINEPREFIX/drive_c/Tickrail test kit"
mkdir -p "$kit"
(cd "$kit" && unzip -q "$zip" && mv tickrail-tests-*-win64/* . && rmdir tickrail-tests-*-win64)
unpacked=$(cd "$kit" && find . -type f | sort)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

key='HKCU\Software\OrvexPlugins\Tickrail'
wine reg add "$key" /v Alpha /t REG_DWORD /d 77 /f >/dev/null
wine reg add "$key" /v Name /t REG_SZ /d 'seeded by the check' /f >/dev/null
wine reg add "$key" /v Bytes /t REG_BINARY /d 00ff10 /f >/dev/null
wine reg add "$key" /v Lines /t REG_MULTI_SZ /d 'one\0two' /f >/dev/null
wine reg add "$key" /v Empty /t REG_SZ /f >/dev/null
wine reg add "$key\\Nested" /v Big /t REG_QWORD /d 0x123456789 /f >/dev/null
wine reg add 'HKCU\Software\OrvexPlugins\Another' /v Kept /t REG_DWORD /d 1 /f >/dev/null
export_keys() {  # FILE: the maker's key as reg exports it, and HKLM's (absent)
    wine reg export 'HKCU\Software\OrvexPlugins' "$1" /y >/dev/null
    if wine reg query 'HKLM\Software\OrvexPlugins' >/dev/null 2>&1; then echo "HKLM key present" >>"$1"; fi
}
export_keys "$work/before.reg"
run_kit() {  # ARGS...: run-tests.cmd from another folder; its exit code in $status
    status=0
    (cd "$work" && wine cmd /c 'C:\Tickrail test kit\run-tests.cmd' "$@" >"$work/output.txt" 2>&1) || status=$?
}
last_line() { tr -d '\r' <"$1" | sed '/^$/d' | tail -1; }

echo "== a run that ends after 3 cases, then the next start"
TICKRAIL_TESTS_END_AFTER=3 run_kit --gtest_filter='Registry.*'
[ "$status" -ne 0 ] || fail "a run that ended early exited with 0"
line=$(last_line "$work/output.txt")
[ "$line" = "windows: the test program ended before its summary" ] || fail "its last line is '$line'"
[ -f "$kit/tickrail-tests-settings.saved" ] || fail "no saved settings after a run that ended early"
run_kit --gtest_filter='Registry.LoadTakes*'
[ "$status" -eq 0 ] || fail "the next start exited with $status"
grep -q "After a run that did not finish: Settings keys put back as they were" "$kit/tickrail-tests.log" ||
    fail "the next start did not put the settings back"
export_keys "$work/after-end.reg"
cmp -s "$work/before.reg" "$work/after-end.reg" || fail "the settings differ after the early end: $(diff "$work/before.reg" "$work/after-end.reg" | head -5)"

echo "== every case"
start=$(date +%s)
run_kit
echo "the whole kit: $(( $(date +%s) - start )) s, exit code $status"
[ "$status" -eq 0 ] || fail "run-tests.cmd exited with $status"
log="$kit/tickrail-tests.log"
tr -d '\r' <"$log" | sed -n '1,/^Settings keys saved/p'
line=$(last_line "$log")
echo "$line"
[ "$(last_line "$work/output.txt")" = "$line" ] || fail "the console's last line is not the log's"
if [[ $line =~ ^windows:\ ([0-9]+)\ passed,\ 0\ failed(,\ ([0-9]+)\ skipped)?$ ]]; then
    counted=$(( BASH_REMATCH[1] + ${BASH_REMATCH[3]:-0} ))
    [ "$counted" -eq "$expected" ] || fail "$counted cases passed or skipped, the Wine run $expected"
else
    fail "the last line is '$line'"
fi
grep -q '<testsuites ' "$kit/tickrail-tests.xml" || fail "no JUnit XML beside run-tests.cmd"
export_keys "$work/after.reg"
cmp -s "$work/before.reg" "$work/after.reg" || fail "the settings differ after the run: $(diff "$work/before.reg" "$work/after.reg" | head -5)"
now=$(cd "$kit" && find . -type f | grep -v -x -e ./tickrail-tests.log -e ./tickrail-tests.xml | sort)
[ "$now" = "$unpacked" ] || fail "the kit's folder changed: $(diff <(echo "$unpacked") <(echo "$now") | head -5)"
wineserver -k 2>/dev/null || true
[ "$failed" -eq 0 ] && echo "the test kit: passed under Wine"
exit $failed
