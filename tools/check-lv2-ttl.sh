#!/usr/bin/env bash
# Reads the TTL files of a built LV2 bundle as a host's RDF reader does: each must parse, and every
# relative IRI in them must name a file of the bundle. An empty IRI (`<>`, which JUCE writes for an
# unset website or e-mail address) resolves to the document itself and fails the check, as does an
# address written without its scheme.
set -euo pipefail

bundle="${1:?usage: check-lv2-ttl.sh <path to the .lv2 bundle>}"
base="http://bundle.invalid/"

command -v serdi >/dev/null || { echo "serdi is missing (tools/install-deps.sh installs it)" >&2; exit 1; }

shopt -s nullglob
ttls=("$bundle"/*.ttl)
if [ ! -f "$bundle/manifest.ttl" ]; then
    echo "$bundle has no manifest.ttl" >&2
    exit 1
fi

status=0
for ttl in "${ttls[@]}"; do
    file="$(basename "$ttl")"
    if ! triples="$(serdi -i turtle -o ntriples "$ttl" "$base")"; then
        echo "$file: not valid Turtle" >&2
        status=1
        continue
    fi
    while read -r iri; do
        name="${iri#"<$base"}"
        name="${name%>}"
        if [ -z "$name" ] || [ ! -e "$bundle/$name" ]; then
            echo "$file: ${name:-empty IRI} names no file of the bundle, in:" >&2
            grep -F "$iri" <<<"$triples" | sed 's/^/    /' >&2
            status=1
        fi
    done < <(grep -o "<${base}[^>]*>" <<<"$triples" | sort -u)
done

[ "$status" -eq 0 ] && echo "${#ttls[@]} TTL files in $(basename "$bundle") parse, and every relative IRI names a bundle file"
exit "$status"
