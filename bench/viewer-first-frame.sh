#!/bin/sh
# Time from start to the first frame that shows a 24-megapixel camera JPEG,
# for glimvue3 and for feh under the same X server, against the floor of one
# djpeg decode of the file; and glimvue3's peak memory against the decoded
# picture; and the split of glimvue3's start-up (its GLIMVUE3_TIMES marks).
# Run under X (xvfb-run -a -s "-screen 0 1920x1080x24" sh THIS).
#   bench/viewer-first-frame.sh <build dir> [photo.jpg] [runs]
set -eu
build=$1
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
photo=${2:-}
if [ -z "$photo" ]; then
    # A camera-like 6000 x 4000 photo at quality 92 from the sample photos.
    sample=$(ls "$build"/samples/camera/*.JPG | head -n 1)
    photo=$work/photo.jpg
    convert "$sample" -resize '6000x4000!' -quality 92 -sampling-factor 2x1 "$photo"
fi
now() { date +%s.%N; }

# Waits until the pixel at the window's centre is no longer the background:
# the picture is on the screen.
first_frame() { # first_frame <pid> -> seconds since $start
    # Not "search --sync": it retries only every half second.
    wid=""
    while [ -z "$wid" ]; do
        kill -0 "$1" 2>/dev/null || { echo "process $1 ended without a window" >&2; return 1; }
        wid=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n 1)
    done
    while kill -0 "$1" 2>/dev/null; do
        c=$(import -window "$wid" -crop 1x1+500+350 -depth 8 txt:- 2>/dev/null | tail -n 1 | awk '{print $3}')
        case "$c" in ''|'#000000'|'#2E2E2E'|'#2D2D2D') ;; *) break ;; esac
    done
    echo "$(now) - $start" | bc
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

for r in $(seq "$runs"); do
    start=$(now); djpeg "$photo" >/dev/null; echo "$(now) - $start" | bc >>"$work/djpeg"
    start=$(now)
    GLIMVUE3_TIMES=1 /usr/bin/time -f %M -o "$work/mem" "$build/bin/glimvue3" -frametype 0 \
        -resizetype 1 -winsize 1000x700 -g +0+0 "$photo" 2>>"$work/marks" &
    pid=$!
    # glimvue3 runs under time: its own pid, once it has started.
    gpid=""
    while [ -z "$gpid" ] && kill -0 $pid 2>/dev/null; do gpid=$(pgrep -P $pid -x glimvue3) || sleep 0.01; done
    first_frame "$gpid" >>"$work/ours"
    xdotool search --pid "$gpid" 2>/dev/null | head -n 1 | xargs -r -I{} xdotool windowfocus --sync {} key q
    wait $pid || true
    cat "$work/mem" >>"$work/peak"
    start=$(now)
    feh -g 1000x700+0+0 --scale-down "$photo" &
    pid=$!
    first_frame $pid >>"$work/feh"
    kill $pid; wait $pid 2>/dev/null || true
done
d=$(median <"$work/djpeg"); o=$(median <"$work/ours"); f=$(median <"$work/feh"); m=$(median <"$work/peak")
decoded=$(identify -format '%w %h' "$photo" | awk '{print $1 * $2 * 3 / 1024}')
echo "first frame, median of $runs: glimvue3 $o s, feh $f s, djpeg decode $d s"
echo "ratios: glimvue3/feh $(echo "$o / $f" | bc -l | cut -c1-5), glimvue3/djpeg $(echo "$o / $d" | bc -l | cut -c1-5)"
echo "peak memory: glimvue3 $((m / 1024)) MiB, decoded picture $(echo "$decoded / 1024" | bc) MiB"
# The marks: "time: <stage> <seconds since the previous mark> ...".
# A large photo is first shown from a reduced decode; the full-* marks are
# the full-resolution picture that replaces it.
mark() { awk -v s="$1" -v c="$2" '$1 == "time:" && $2 == s {print $c}' "$work/marks" | median; }
split=""
for stage in window decode tiles upload draw; do split="$split $stage $(mark $stage 3)"; done
echo "glimvue3 split to the first frame, medians in s (window: start to GL window; upload: tiles with mipmaps):$split"
echo "$split" | awk '{m = 0; for (i = 1; i < NF; i += 2) if ($(i + 1) > m) {m = $(i + 1); n = $i}
    print "dominant: " n " (" m " s)"}'
full=$(mark full-draw 4)
if [ -n "$full" ]; then
    echo "then in full resolution: decode $(mark full-decode 3) s, upload $(mark full-upload 3) s, draw $(mark full-draw 3) s; on the screen $full s after start"
fi
