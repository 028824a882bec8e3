#!/usr/bin/env bash
# Reopening an album: a fresh process imports it with a cold thumbnail cache, then again with a warm one,
# and renders the saved project over the warm cache. Usage: bench/reopen.sh BUILD_DIR [PHOTOS]
# (default 2000 photos, hard links to the benchmark album's camera-size photos under their own names).
set -euo pipefail

build="$(cd "$1" && pwd)"
count="${2:-2000}"
data="$build/bench"
tool="$build/bench/zanfold-bench"
cli="$build/src/cli/zanfold-cli"
mkdir -p "$data"
"$tool" album "$data/album" > /dev/null

album="$data/reopen-album"
rm -rf "$album" && mkdir -p "$album"
sources=("$data/album"/*.jpg)
for ((i = 0; i < count; i++)); do
    ln "${sources[i % ${#sources[@]}]}" "$album/$(printf 'IMG_%05d.jpg' "$i")"
done

work="$data/reopen"
rm -rf "$work" && mkdir -p "$work"
"$tool" template "$work/tpl" > /dev/null
printf '[General]\nLockType=0\nFinishAsk=0\nOpenFolder=0\n' > "$work/Zanfold.ini"
session=(--library "$work/lib.xml" --settings "$work/Zanfold.ini")
"$cli" import-template "$work/tpl/Bench.aep" "${session[@]}" > /dev/null
export XDG_CACHE_HOME="$work/cache"

import_ms() { grep '^timing' | sed 's/.*import_ms=\([0-9]*\).*/\1/'; }
run() {
    /usr/bin/time -f "%e" -o "$work/time.txt" "$@" --timings 2> "$work/err.txt" | import_ms
}

echo "Reopening $count photos: without a cache, with a cold cache, then a warm one ..."
printf '[General]\nLockType=0\nFinishAsk=0\nOpenFolder=0\nThumbCacheMB=0\n' > "$work/NoCache.ini"
none=$(run "$cli" crop --album "$album" --template Bench --out "$work/out" --library "$work/lib.xml" \
    --settings "$work/NoCache.ini")
none_s=$(cat "$work/time.txt")
cold=$(run "$cli" crop --album "$album" --template Bench --out "$work/out" --project "$work/work.zpj" "${session[@]}")
cold_s=$(cat "$work/time.txt")
warm=$(run "$cli" crop --album "$album" --template Bench --out "$work/out" "${session[@]}")
warm_s=$(cat "$work/time.txt")
render=$(run "$cli" render "$work/work.zpj" "${session[@]}")
render_s=$(cat "$work/time.txt")
bytes=$(stat -c %s "$work/cache/zanfold/thumbnails.sqlite")

awk -v n="$count" -v none="$none" -v none_s="$none_s" -v cold="$cold" -v warm="$warm" -v render="$render" -v cold_s="$cold_s" -v warm_s="$warm_s" \
    -v render_s="$render_s" -v bytes="$bytes" 'BEGIN {
    printf "%-44s %12s %16s\n", "reopen, " n " photos", "import ms", "whole run s"
    printf "%-44s %12d %16.2f\n", "no cache (ThumbCacheMB=0)", none, none_s
    printf "%-44s %12d %16.2f\n", "cold cache (decodes every photo)", cold, cold_s
    printf "%-44s %12d %16.2f\n", "warm cache", warm, warm_s
    printf "%-44s %12d %16.2f\n", "warm cache, zanfold-cli render of the project", render, render_s
    printf "warm import is %.0fx faster than cold; cold is %+.1f%% against no cache; the cache holds %.1f KB per photo\n", cold / (warm > 0 ? warm : 1), (cold - none) * 100 / none, bytes / 1024 / n
}'
