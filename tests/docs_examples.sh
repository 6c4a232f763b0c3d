#!/usr/bin/env bash
# Runs every TICKRAIL example of the README and the user's guide in the
# simulated shell:
# - an example written inline, `TICKRAIL ...` or `tickrail ...`, or on a line
#   of its own in an indented block, tickrail ..., must succeed without a
#   message;
# - a fenced block of "C:\> tickrail ..." lines is one session whose commands
#   must write the lines that follow them, in that order.
# Usage: docs_examples.sh TICKRAIL-SIM WORK-FOLDER FILE...
set -u
tool=$1
work=$2
shift 2
mkdir -p "$work"
failed=0
examples=0

# What the plug-in wrote, without the simulated shell's own lines.
plugin_output() {
    grep -v -E '^(shell|console)' | sed 's/^(stderr) //'
}

for file in "$@"; do
    name=$(basename "$file")
    # Inline examples.
    while IFS= read -r example; do
        tail=${example:8}
        tail=${tail# }
        examples=$((examples + 1))
        output=$("$tool" --command "$tail" --png "$work/example.png" 2>&1)
        if ! grep -q '^shell: TICKRAIL returned 0$' <<<"$output" || grep -q '^(stderr)' <<<"$output"; then
            echo "FAIL: $name: \`$example\` does not succeed quietly:"
            sed 's/^/    /' <<<"$output"
            failed=1
        fi
    done < <({ grep -o -E '`(TICKRAIL|tickrail)( [^`]*)?`' "$file" | tr -d '`'
               grep -E '^ {4,}tickrail( |$)' "$file" | sed 's/^ *//'; } | sort -u)

    # Sessions: "CMD tail" and "EXP line" records, and "END" after each block.
    awk '
        /^```/ { if (inBlock && commands) print "END"; inBlock = !inBlock; commands = 0; next }
        inBlock && /^C:\\> tickrail/ { tail = $0; sub(/^C:\\> tickrail ?/, "", tail); print "CMD " tail; commands++; next }
        inBlock && commands && NF { print "EXP " $0 }
    ' "$file" >"$work/sessions"
    args=() expected=()
    while IFS= read -r record; do
        case "$record" in
            "CMD "*) args+=(--command "${record#CMD }"); continue ;;
            "EXP "*) expected+=("${record#EXP }"); continue ;;
        esac
        examples=$((examples + 1))
        actual=$("$tool" "${args[@]}" --png "$work/example.png" 2>&1 | plugin_output)
        rest=$actual
        for line in "${expected[@]}"; do
            found=$(grep -n -F -x -m 1 -- "$line" <<<"$rest" | cut -d: -f1)
            if [ -z "$found" ]; then
                echo "FAIL: $name: a session of ${args[*]} does not write, in its place:"
                echo "    $line"
                echo "  it writes:"
                sed 's/^/    /' <<<"$actual"
                failed=1
                break
            fi
            rest=$(tail -n +$((found + 1)) <<<"$rest")
        done
        args=() expected=()
    done <"$work/sessions"
done
echo "$examples examples checked"
exit $failed
