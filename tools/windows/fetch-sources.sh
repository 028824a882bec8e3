#!/usr/bin/env bash
# Fetches the Debian source packages the Windows build is made from, of the same versions as the Linux
# build's packages, into a cache folder outside the work tree. The machine's apt configuration is left as
# it is: a private one adds the deb-src entries of the same archive.
# Usage: tools/windows/fetch-sources.sh [CACHE_DIR]   (default ~/.cache/zanfold/windows-sources)
set -euo pipefail

cache="${1:-$HOME/.cache/zanfold/windows-sources}"
apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$cache/src"

# The archive's deb entries, as deb-src.
sources="$apt_dir/sources.list"
: > "$sources"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    case "$file" in
    *.sources)
        # deb822: one stanza per blank-line-separated block; only Debian's own archive.
        awk -v RS= '/deb\.debian\.org/ && /Types:[^\n]*deb/ {
            uris = ""; suites = ""; comps = ""
            n = split($0, lines, "\n")
            for (i = 1; i <= n; i++) {
                if (lines[i] ~ /^URIs:/) { uris = lines[i]; sub(/^URIs:[ \t]*/, "", uris) }
                if (lines[i] ~ /^Suites:/) { suites = lines[i]; sub(/^Suites:[ \t]*/, "", suites) }
                if (lines[i] ~ /^Components:/) { comps = lines[i]; sub(/^Components:[ \t]*/, "", comps) }
            }
            ns = split(suites, s, " ")
            for (j = 1; j <= ns; j++) print "deb-src [trusted=no] " uris " " s[j] " " comps
        }' "$file" >> "$sources"
        ;;
    *.list)
        grep -E '^deb +[^ ]*deb\.debian\.org' "$file" | sed 's/^deb /deb-src /' >> "$sources" || true
        ;;
    esac
done
[ -s "$sources" ] || { echo "no Debian archive found in the apt configuration" >&2; exit 1; }
sed -i 's/ \[trusted=no\]//' "$sources"

apt_options=(-o "Dir::Etc::SourceList=$sources" -o "Dir::Etc::SourceParts=/dev/null"
             -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
             -o "APT::Get::Only-Source=true")
apt-get "${apt_options[@]}" update -qq

# The source package of each library the program links, at the version installed here.
version_of() { dpkg-query -W -f='${source:Version}' "$1"; }
cd "$cache/src"
missing=()
for pair in qt6-base:qt6-base-dev icu:libicu72 libjpeg-turbo:libjpeg62-turbo-dev lcms2:liblcms2-dev \
            sqlite3:libsqlite3-0 dlib:libdlib-dev; do
    source="${pair%%:*}"
    binary="${pair#*:}"
    version="$(version_of "$binary")"
    upstream="${version#*:}"
    upstream="${upstream%-*}"
    # Whole when the upstream tarball is there (a failed download can leave the .dsc alone).
    have() { ls "$cache/src/${source}_${upstream}.orig.tar."* > /dev/null 2>&1; }
    if have; then
        echo "have $source $version"
        continue
    fi
    echo "fetching $source $version"
    apt-get "${apt_options[@]}" source --download-only -qq "$source=$version" 2>&1 | grep -v '^W: Download is performed unsandboxed' ||
        true
    have || missing+=("$source=$version")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Not to be had from the archive: ${missing[*]}" >&2
    exit 1
fi
echo "Sources in $cache/src"
