#!/bin/sh
# Renders every view of every example in both languages, and each example's handout, into
# one folder for review. A view the program does not offer for a model is left out (listed
# in skipped.txt); messages of the runs go to messages.txt.
#
#   tools/render_examples.sh [BUILD_DIR [OUT_DIR]]     (defaults: build, build/review)
set -u
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-$build/review}
batch=$build/tools/tervalis-batch
[ -x "$batch" ] || { echo "no $batch: build the targets tervalis-batch and tervalis-render" >&2; exit 2; }
mkdir -p "$out"
: >"$out/messages.txt"
: >"$out/skipped.txt"
failed=0
for model in examples/*.TV5; do
    name=$(basename "$model" .TV5)
    for lang in de en; do
        for view in $("$batch" --render list); do
            file="$out/$name-$view-$lang.png"
            "$batch" "$model" --render "$view" --lang "$lang" -o "$file" 2>>"$out/messages.txt"
            status=$?
            if [ $status -eq 2 ] && [ ! -e "$file" ]; then
                echo "$name $view $lang" >>"$out/skipped.txt"
            elif [ $status -gt 1 ]; then
                echo "$name $view $lang: exit $status" >&2
                failed=1
            fi
        done
        "$batch" "$model" --handout "$out/$name-handout-$lang.pdf" --lang "$lang" \
            2>>"$out/messages.txt" || [ $? -eq 1 ] || failed=1
    done
done
echo "$(ls "$out" | grep -c '\.png$') pictures and $(ls "$out" | grep -c '\.pdf$') handouts in $out"
exit $failed
