#!/usr/bin/env bash
# Reads tickrail.dll's export and import tables and checks them exactly:
# the eight exports the shell looks for, undecorated, and imports from the
# system DLLs, msvcrt and the shell's TakeCmd.dll only; and that the DLL is
# at most 64 KiB and carries its version resource.
set -euo pipefail
objdump=$1
dll=$2
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$dll" > "$dump"

status=0
fail() { echo "FAIL: $*"; status=1; }

grep -q 'Magic.*20b' "$dump" || fail "not a 64-bit (PE32+) image"
size=$(stat -c %s "$dll")
[ "$size" -le 65536 ] || fail "$size bytes, more than 64 KiB"
grep -q 'Resource Directory \[\.rsrc\]' "$dump" || fail "no resources: the version resource is missing"
grep -q '^architecture: i386:x86-64' "$dump" || grep -q 'file format pei-x86-64' "$dump" ||
    fail "not an x64 image"

# Export names: the lines of the name pointer table.
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && /^[ \t]*\[/ {print $NF; next} t {t=0}' "$dump" | sort | tr '\n' ' ')
expected_exports=$(printf '%s\n' GetPluginInfo Help InitializePlugin ShutdownPlugin Usage key list tickrail | sort | tr '\n' ' ')
[ "$exports" = "$expected_exports" ] || fail "exports: expected '$expected_exports', got '$exports'"

# Imports, as "DLL:function", DLL names upper-cased.
imports=$(awk '
    /DLL Name:/ {dll=toupper($3); next}
    /Hint\/Ord/ {inlist=1; next}
    inlist && NF==0 {inlist=0; next}
    inlist && NF>=2 {print dll ":" $NF}' "$dump" | sort -u)
dlls=$(echo "$imports" | cut -d: -f1 | sort -u | tr '\n' ' ')
for dll_name in $dlls; do
    case "$dll_name" in
        KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|MSVCRT.DLL|TAKECMD.DLL) ;;
        *) fail "imports from $dll_name, which is not allowed" ;;
    esac
done
shell=$(echo "$imports" | grep '^TAKECMD.DLL:' | cut -d: -f2 | sort | tr '\n' ' ')
for name in $shell; do
    case "$name" in
        Printf|Qprintf|QPuts|CrLf|ExpandVariables|TakeCommandIPC) ;;
        *) fail "imports $name from TakeCmd.dll, which the shell does not offer" ;;
    esac
done
for name in Printf Qprintf ExpandVariables TakeCommandIPC; do
    [[ " $shell " == *" $name "* ]] || fail "does not import $name from TakeCmd.dll by name"
done

if [ $status -eq 0 ]; then
    echo "exports: $exports"
    echo "import DLLs: $dlls"
    echo "from TakeCmd.dll: $shell"
    echo "size: $size bytes"
    echo "1 passed, 0 failed"
else
    echo "0 passed, 1 failed"
fi
exit $status
