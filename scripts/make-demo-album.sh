#!/bin/sh
# Writes a small album root for trying the album program: dated albums with
# titles, comments, counts and marks in English and Japanese, a book with
# albums of its own, the two best-of entries, and a folder without texts
# (which the program skips). Pictures are placeholders until real photos are
# generated.
#   scripts/make-demo-album.sh <album root>
set -eu
root=${1:?usage: make-demo-album.sh <album root>}

# texts <dir> <title> <text above> <text below>: the txt/ files of an entry,
# with the CR LF line ends the program writes.
texts() {
    mkdir -p "$1/txt"
    printf '%s\r\n%s\r\n' "$2" "$2" > "$1/txt/head.txt"
    [ -n "$3" ] && printf '%s\r\n' "$3" >> "$1/txt/head.txt"
    if [ -n "$4" ]; then printf '%s\r\n' "$4" > "$1/txt/last.txt"; else : > "$1/txt/last.txt"; fi
}

# page <dir> <title>: a stand-in index.html, so that the browser has a page.
page() {
    printf '<html><head><meta charset="UTF-8"><title>%s</title></head>\n<body><h1>%s</h1></body></html>\n' \
        "$2" "$2" > "$1/index.html"
}

# album <dir> <title> <text above> <text below> <files...>
album() {
    dir=$1; title=$2; above=$3; below=$4; shift 4
    mkdir -p "$dir/original"
    texts "$dir" "$title" "$above" "$below"
    : > "$dir/txt/good.txt"
    for f in "$@"; do
        : > "$dir/original/$f"
        printf '%s\r\n' "$f" >> "$dir/txt/good.txt"
    done
    printf '%s\r\n' "$#" > "$dir/txt/count.txt"
    page "$dir" "$title"
}

mkdir -p "$root"
texts "$root" "Family albums" "Pictures from the family camera, newest first." "Made with snapfolio."
page "$root" "Family albums"

album "$root/20240615" "Summer picnic" "A sunny day by the river." "" \
    P6150001.JPG P6150002.JPG P6150003.MOV
printf 'Lunch on the grass\r\n' > "$root/20240615/txt/P6150001.txt"
printf 'P6150002.JPG\r\n' > "$root/20240615/txt/best.txt"

album "$root/20240302" "雛祭り" "お雛様を飾りました。" "また来年。" P3020001.JPG P3020002.JPG

album "$root/20231224" "Christmas eve" "" "Merry Christmas!" PC240001.JPG

# A book: albums inside, its own title and texts, no "original".
texts "$root/Travel" "Trips abroad" "Holidays, one album each." ""
page "$root/Travel" "Trips abroad"
album "$root/Travel/20230801" "Kyoto / 京都" "Temples and gardens." "" P8010001.JPG P8010002.JPG
album "$root/Travel/20220710" "Lisbon" "" "" P7100001.JPG

# The two best-of collections of the root book.
texts "$root/_Best" "Family albums Best pictures" "The good pictures of every album." ""
printf '4\r\n' > "$root/_Best/txt/count.txt"
page "$root/_Best" "Best pictures"
texts "$root/_BestBook" "Family albums ベスト" "The best of every album and book." ""
printf '1\r\n' > "$root/_BestBook/txt/count.txt"
page "$root/_BestBook" "Best book"

# No texts: not listed.
mkdir -p "$root/scratch"
