#!/usr/bin/env bash
# The benchmark: our import and batch output against the tools a studio would otherwise script, in one run,
# on a generated album of camera-size photos. Usage: bench/run.sh BUILD_DIR
set -euo pipefail

build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
data="$build/bench"
tool="$build/bench/zanfold-bench"
cli="$build/src/cli/zanfold-cli"
cores="$(nproc)"
mkdir -p "$data"
album="$data/album"
work="$data/work"
results="$data/results.txt"

echo "Generating the benchmark album (cached in $album) ..."
"$tool" album "$album"
rm -rf "$work" && mkdir -p "$work"
"$tool" template "$work/tpl"
printf '[General]\nLockType=0\nFinishAsk=0\nOpenFolder=0\nJpegQuality=90\n' > "$work/Zanfold.ini"
"$cli" import-template "$work/tpl/Bench.aep" --library "$work/lib.xml" --settings "$work/Zanfold.ini" > /dev/null

photos=$(ls "$album"/*.jpg | wc -l)
megabytes=$(du -sm "$album" | cut -f1)

# Seconds of a command, and its peak memory in MB (of the largest process).
measure() {
    local out="$work/time.txt"
    /usr/bin/time -f "%e %M" -o "$out" "$@" > /dev/null 2> "$work/stderr.txt" || { cat "$work/stderr.txt" >&2; return 1; }
    read -r secs kb < "$out"
    echo "$secs $((kb / 1024))"
}

# Our runs start from an empty thumbnail cache of their own: the import rows are the cold figures.
export XDG_CACHE_HOME="$work/cache"
echo "Our import and batch output ($cores workers) ..."
/usr/bin/time -f "%M" -o "$work/ours-mem.txt" \
    "$cli" crop --album "$album" --template Bench --out "$work/ours" --project "$work/bench.zpj" \
    --library "$work/lib.xml" --settings "$work/Zanfold.ini" --timings > "$work/ours.txt" 2> "$work/ours-err.txt"
line=$(grep '^timing' "$work/ours.txt")
import_ms=$(echo "$line" | sed 's/.*import_ms=\([0-9]*\).*/\1/')
crop_ms=$(echo "$line" | sed 's/.*crop_ms=\([0-9]*\).*/\1/')

# The same album with an Adobe RGB profile in every photo: colour management's cost.
echo "The album again, every photo tagged Adobe RGB ..."
"$tool" tag "$album" "$data/album-adobe"
"$cli" crop --album "$data/album-adobe" --template Bench --out "$work/adobe" \
    --library "$work/lib.xml" --settings "$work/Zanfold.ini" --timings > "$work/adobe.txt" 2> "$work/adobe-err.txt"
adobe_line=$(grep '^timing' "$work/adobe.txt")
adobe_import_ms=$(echo "$adobe_line" | sed 's/.*import_ms=\([0-9]*\).*/\1/')
adobe_crop_ms=$(echo "$adobe_line" | sed 's/.*crop_ms=\([0-9]*\).*/\1/')
# The album again with faces looked for at import (FaceCrop=1), from an empty cache of its own.
echo "The album again, faces detected at import ..."
{ cat "$work/Zanfold.ini"; echo "FaceCrop=1"; } > "$work/faces.ini"
XDG_CACHE_HOME="$work/faces-cache" "$cli" crop --album "$album" --template Bench --out "$work/faces" \
    --library "$work/lib.xml" --settings "$work/faces.ini" --timings > "$work/faces.txt" 2> "$work/faces-err.txt"
faces_import_ms=$(grep '^timing' "$work/faces.txt" | sed 's/.*import_ms=\([0-9]*\).*/\1/')
files=$(echo "$line" | sed 's/.*files=\([0-9]*\).*/\1/')
ours_mem=$(( $(cat "$work/ours-mem.txt") / 1024 ))

"$tool" jobs "$work/bench.zpj" "$work/lib.xml" "$work/Zanfold.ini" > "$work/jobs.txt"
mkdir -p "$work/vips" "$work/magick" "$work/vthumb" "$work/mthumb"

echo "Peers, $cores processes at a time ..."
read -r djpeg_s djpeg_mem < <(measure sh -c "ls '$album'/*.jpg | xargs -P $cores -n 1 sh -c 'djpeg -scale 1/8 \"\$0\" > /dev/null'")
per=$(( (photos + cores - 1) / cores ))
read -r vthumb_s vthumb_mem < <(measure sh -c "ls '$album'/*.jpg | xargs -P $cores -n $per vipsthumbnail -s 200x200 -o '$work/vthumb/%s.jpg'")
read -r mthumb_s mthumb_mem < <(measure sh -c "ls '$album'/*.jpg | xargs -P $cores -n 1 sh -c 'convert \"\$0\" -thumbnail 200x200 \"$work/mthumb/\$(basename \"\$0\")\"'")
read -r vips_s vips_mem < <(measure sh -c "xargs -P $cores -L 1 sh -c '\"$build/bench/vips-peer\" \"\$0\" \$1 \$2 \$3 \$4 \$5 \$6 \"$work/vips/\$7.jpg\"' < '$work/jobs.txt'")
read -r magick_s magick_mem < <(measure sh -c "xargs -P $cores -L 1 sh -c 'convert \"\$0\" -crop \$3x\$4+\$1+\$2 +repage -resize \$5x\$6! -quality 90 \"$work/magick/\$7.jpg\"' < '$work/jobs.txt'")

"$tool" single "$work/single" 7 > "$work/single.txt"
single_line=$(cat "$work/single.txt")
djpeg_single=$( { /usr/bin/time -f "%e" djpeg -scale 1/8 -outfile /dev/null "$work/single/single0001.jpg"; } 2>&1 )

awk -v photos="$photos" -v mb="$megabytes" -v files="$files" -v cores="$cores" \
    -v import_ms="$import_ms" -v crop_ms="$crop_ms" -v ours_mem="$ours_mem" \
    -v djpeg_s="$djpeg_s" -v vthumb_s="$vthumb_s" -v mthumb_s="$mthumb_s" \
    -v vips_s="$vips_s" -v magick_s="$magick_s" \
    -v djpeg_mem="$djpeg_mem" -v vthumb_mem="$vthumb_mem" -v mthumb_mem="$mthumb_mem" \
    -v vips_mem="$vips_mem" -v magick_mem="$magick_mem" \
    -v single="$single_line" -v djpeg_single="$djpeg_single" \
    -v adobe_import_ms="$adobe_import_ms" -v adobe_crop_ms="$adobe_crop_ms" \
    -v faces_import_ms="$faces_import_ms" 'BEGIN {
    ours_import = import_ms / photos; ours_crop = crop_ms / files
    printf "Zanfold benchmark: %d photos (%d MB, 6000x4000 and 4000x3000, q90), %d outputs, %d cores\n\n", photos, mb, files, cores
    printf "%-44s %12s %12s %10s %14s\n", "work", "ms per item", "items/s", "peak MB", "ours / peer"
    printf "%-44s %12.1f %12.1f %10d %14s\n", "import (thumbnails), Zanfold", ours_import, 1000 / ours_import, ours_mem, ""
    printf "%-44s %12.1f %12.1f %10d %14.2f\n", "djpeg -scale 1/8 (the floor)", djpeg_s * 1000 / photos, photos / djpeg_s, djpeg_mem, ours_import / (djpeg_s * 1000 / photos)
    printf "%-44s %12.1f %12.1f %10d %14.2f\n", "vipsthumbnail -s 200x200", vthumb_s * 1000 / photos, photos / vthumb_s, vthumb_mem, ours_import / (vthumb_s * 1000 / photos)
    printf "%-44s %12.1f %12.1f %10d %14.2f\n", "ImageMagick convert -thumbnail 200x200", mthumb_s * 1000 / photos, photos / mthumb_s, mthumb_mem, ours_import / (mthumb_s * 1000 / photos)
    printf "%-44s %12.1f %12.1f %10s %14s\n", "batch output, Zanfold", ours_crop, 1000 / ours_crop, "(above)", ""
    printf "%-44s %12.1f %12.1f %10s %14.2f\n", "import with face detection (FaceCrop=1)", faces_import_ms / photos, 1000 * photos / faces_import_ms, "", faces_import_ms / import_ms
    printf "%-44s %12.1f %12.1f %10s %14.2f\n", "import, Adobe RGB photos (to sRGB)", adobe_import_ms / photos, 1000 * photos / adobe_import_ms, "", adobe_import_ms / import_ms
    printf "%-44s %12.1f %12.1f %10s %14.2f\n", "batch output, Adobe RGB photos (to sRGB)", adobe_crop_ms / files, 1000 * files / adobe_crop_ms, "", adobe_crop_ms / crop_ms
    printf "%-44s %12.1f %12.1f %10d %14.2f\n", "libvips API, shrink-on-load (bench/vips-peer)", vips_s * 1000 / files, files / vips_s, vips_mem, ours_crop / (vips_s * 1000 / files)
    printf "%-44s %12.1f %12.1f %10d %14.2f\n", "ImageMagick convert -crop -resize", magick_s * 1000 / files, files / magick_s, magick_mem, ours_crop / (magick_s * 1000 / files)
    printf "\nsingle thread, one 24 MP photo: %s djpeg_scale_1_8_ms=%.0f\n", single, djpeg_single * 1000
    printf "ratios below 1 mean Zanfold is faster (peak MB of Zanfold covers import and output together);\n"
    printf "the Adobe RGB and face detection rows compare with the untagged album without faces\n"
}' | tee "$results"
echo
"$here/reopen.sh" "$build" | tee -a "$results"
echo
echo "Faces kept by initial crops (dlib's labelled example photos, composites, people-free photos) ..."
"$build/bench/zanfold-face-bench" "$data/faces" | tee -a "$results"
echo
echo "Interaction repaints ..."
QT_QPA_PLATFORM=offscreen "$build/bench/zanfold-paint-bench" 2> /dev/null | tee -a "$results"
echo "Written to $results"
