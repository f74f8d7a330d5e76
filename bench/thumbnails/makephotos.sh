#!/bin/sh
# Writes COUNT photograph-like JPEGs of 4000 x 3000 (every fifth one turned to
# 3000 x 4000) into DIR with ImageMagick: a few plasma fields, each reused
# flipped, rolled and tinted so that no two files are alike.
#   makephotos.sh DIR [COUNT]
set -e
dir=$1
count=${2:-100}
[ -n "$dir" ] || { echo "usage: $0 DIR [COUNT]" >&2; exit 2; }
mkdir -p "$dir"
bases=$(( (count + 9) / 10 ))
i=0
while [ "$i" -lt "$bases" ]; do
    convert -size 4000x3000 -seed $((i + 1)) plasma:fractal -blur 0x1 "$dir/base$i.miff"
    i=$((i + 1))
done
n=1
while [ "$n" -le "$count" ]; do
    b=$(( (n - 1) % bases ))
    v=$(( (n - 1) / bases ))
    name=$(printf 'photo%03d.jpg' "$n")
    set -- -roll +$((v * 397))+$((v * 211)) -modulate 100,$((70 + v * 6)),$((80 + v * 9))
    [ $((v % 2)) -eq 1 ] && set -- "$@" -flop
    [ $((n % 5)) -eq 0 ] && set -- "$@" -rotate 90
    convert "$dir/base$b.miff" "$@" -quality 90 "$dir/$name"
    n=$((n + 1))
done
rm -f "$dir"/base*.miff
