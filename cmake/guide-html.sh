#!/usr/bin/env bash
# The user's guide as one HTML file, for the release zip: docs/guide.md
# rendered by cmark-gfm, with each of its pictures inside it as a data URI,
# so that the file stands alone. The same guide gives the same bytes.
# Usage: guide-html.sh CMARK-GFM GUIDE.md OUT.html
set -euo pipefail
cmark=$1 guide=$2 out=$3
docs=$(dirname "$guide")
body=$("$cmark" --extension table --extension autolink "$guide")
# Each heading gets the id that GitHub gives it, so that the guide's links to
# its own sections lead somewhere: the heading's text in lower case, blanks
# to "-", other punctuation dropped, and "-1", "-2" after a repeated one.
body=$(perl -CSD -Mutf8 -pe '
    s{<h([1-6])>(.*?)</h\1>}{
        my ($level, $inner) = ($1, $2);
        (my $id = lc $inner) =~ s/<[^>]*>|&[a-z#0-9]+;//g;
        $id =~ s/[^\w\- ]//g;
        $id =~ tr/ /-/;
        my $repeat = $seen{$id}++;
        $id .= "-$repeat" if $repeat;
        qq{<h$level id="$id">$inner</h$level>}
    }ge' <<<"$body")
for name in $(grep -o 'src="[^"/:]*\.png"' <<<"$body" | sed 's/^src="//; s/"$//' | sort -u); do
    body=${body//src=\"$name\"/src=\"data:image/png;base64,$(base64 -w 0 "$docs/$name")\"}
done
{
    printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
    printf "<title>Tickrail user's guide</title>\n"
    printf '<style>body{max-width:52em;margin:2em auto;padding:0 1em;font-family:sans-serif;line-height:1.45}'
    printf 'pre,code{font-family:monospace}pre{background:#f4f4f4;padding:.6em;overflow-x:auto}'
    printf 'table{border-collapse:collapse}th,td{border:1px solid #ccc;padding:.25em .5em;vertical-align:top}'
    printf 'img{max-width:100%%}</style>\n</head>\n<body>\n'
    printf '%s\n' "$body"
    printf '</body>\n</html>\n'
} >"$out"
