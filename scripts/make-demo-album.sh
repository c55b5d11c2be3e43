#!/bin/sh
# Makes a small album root for trying the album program, from the sample
# camera photos that the build writes (build/samples/camera): dated albums
# with titles, comments and marks in English and Japanese, a book holding
# albums of its own, the two best-of collections, and a movie clip when
# ffmpeg is there. Everything goes through snapfolio-cli, as a user would.
#   scripts/make-demo-album.sh <album root> [build dir]
set -eu
root=${1:?usage: make-demo-album.sh <album root> [build dir]}
build=${2:-build}
cli="$build/bin/snapfolio-cli"
samples="$build/samples/camera"
[ -x "$cli" ] && [ -d "$samples" ] || { echo "make-demo-album: build the project first ($cli, $samples)" >&2; exit 1; }
# The album engine reads $HOME/.snapfolio: never the user's own here.
HOME=${DEMO_HOME:-$root.home}
export HOME
mkdir -p "$HOME"

# texts <dir> <title> <text above> <text below>: the txt/ files of an entry,
# with the CR LF line ends the program writes.
texts() {
    mkdir -p "$1/txt"
    printf '%s\r\n%s\r\n' "$2" "$2" > "$1/txt/head.txt"
    [ -z "$3" ] || printf '%s\r\n' "$3" >> "$1/txt/head.txt"
    if [ -n "$4" ]; then printf '%s\r\n' "$4" > "$1/txt/last.txt"; else : > "$1/txt/last.txt"; fi
}
# mark <album> <list> <names...>
mark() {
    dir=$1; list=$2; shift 2
    for f in "$@"; do printf '%s\r\n' "$f"; done > "$dir/txt/$list.txt"
}

# A camera folder of the samples, plus a short Motion-JPEG clip as older
# cameras record them.
camera="$root.camera"
rm -rf "$camera"
mkdir -p "$camera" "$root"
cp "$samples"/*.JPG "$camera/"
movie=""
if command -v ffmpeg >/dev/null 2>&1 &&
    ffmpeg -nostdin -loglevel error -f lavfi -i testsrc=size=640x480:rate=15 \
        -f lavfi -i sine=frequency=440 -t 2 -c:v mjpeg -q:v 4 -pix_fmt yuvj422p \
        -c:a pcm_s16le "$camera/MVI_0512.AVI"; then
    movie=MVI_0512.AVI
fi

texts "$root" "Family albums" "Pictures from the family camera, newest first." "Made with snapfolio."

texts "$root/20260601" "Forest morning" "Early light between the trees." ""
"$cli" make "$camera" "$root/20260601" IMG_0006.JPG

texts "$root/20260512" "Spring walk" "A walk along the ridge." "Back home before the rain."
printf 'The view from the top\r\n\r\nTwelve kilometres in all.\r\n' > "$root/20260512/txt/_5120001.txt"
mark "$root/20260512" best _5120002.JPG
mark "$root/20260512" good _5120001.JPG _5120002.JPG
"$cli" make "$camera" "$root/20260512" _5120001.JPG _5120002.JPG $movie

texts "$root/20260428" "花畑" "春の花が満開でした。" "また来年。"
mark "$root/20260428" good P4280003.JPG
"$cli" make "$camera" "$root/20260428" P4280003.JPG

# A book: albums inside, its own title and texts, no "original".
texts "$root/Travel" "Trips" "Holidays, one album each." ""
texts "$root/Travel/20260315" "Mountains" "" ""
mark "$root/Travel/20260315" print IMGP0005.JPG
"$cli" make "$camera" "$root/Travel/20260315" IMGP0005.JPG
texts "$root/Travel/20260101" "Harbour at dusk / 港の夕暮れ" "New Year's Day by the sea." ""
mark "$root/Travel/20260101" best P1010004.JPG
"$cli" make "$camera" "$root/Travel/20260101" P1010004.JPG

# The best-of collections, then every page of the tree.
mkdir -p "$root/_Best" "$root/_BestBook" "$root/Travel/_Best" "$root/Travel/_BestBook"
"$cli" batch "$root"
