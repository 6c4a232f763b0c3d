#!/usr/bin/env bash
# The demo's options: each command line with its exit code and a line of
# what it prints. Usage: demo_options.sh TICKRAIL-SIM WORK-FOLDER
set -u
tool=$1
work=$2
mkdir -p "$work"
failed=0
check() {  # expected exit code, pattern of the output, arguments...
    local expected=$1 pattern=$2
    shift 2
    local output code
    output=$("$tool" "$@" --png "$work/options.png" 2>&1)
    code=$?
    if [ "$code" -ne "$expected" ] || ! grep -Eq -- "$pattern" <<<"$output"; then
        echo "FAIL: tickrail-sim $*: expected exit $expected and /$pattern/, got exit $code:"
        sed 's/^/    /' <<<"$output"
        failed=1
    fi
}

check 0 'pictured in .*options.png'
check 0 '^usage: tickrail-sim' --help
check 2 'unknown option --bogus' --bogus
check 2 'unknown option extra' extra words
check 2 '--command needs a value' --command
check 2 '--columns takes a number from 20 to 250, not 5' --columns 5
check 2 '--rows takes a number from 5 to 100, not abc' --rows abc
check 2 '--background takes a colour index from 0 to 15, not 16' --background 16
check 2 'cannot read /nonexistent/text' --text /nonexistent/text
check 2 '--key takes a key as TICKRAIL /L lists it, not Bogus' --key Bogus
check 0 'Alt\. color rows .*every 5th row' --command "/P:L /J:*5=Red"
check 0 'TICKRAIL returned 1' --command "/A:20"
check 0 'Alpha must be 64 - 255: 20' --command "/A:20"
check 0 'key Shift-F12 is the plug-in.s hotkey' --key Shift-F12
check 0 'key Alt-A goes on to the shell' --key Alt-A
check 0 'LIST returned 0xFEDCBA98' --list "/u *.txt"
check 0 'strip is|pictured' --columns 132 --rows 50 --background 1
check 1 'version 13 or later is required' --version 12
check 0 'PLUGIN: cannot find "other.dll"' --run "plugin /l other.dll"
check 0 'Unknown command "tickrail"' --run "plugin /u tickrail" --run "tickrail /P:B"
check 2 '--strip needs a value' --strip
check 1 'cannot write /nonexistent/strip.png' --strip /nonexistent/strip.png
check 1 'cannot write /nonexistent/said.txt' --transcript /nonexistent/said.txt
printf 'first line\nsecond line\n' >"$work/text.txt"
check 0 'pictured in' --text "$work/text.txt"
exit $failed
