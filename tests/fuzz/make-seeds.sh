#!/bin/sh
# Writes the seed inputs of codecs_fuzz into FOLDER: one small file of each
# container, made by ffmpeg, behind the byte that picks its extension (the
# index into the fuzz target's extension table).
set -eu
folder=$1
mkdir -p "$folder"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture="-f lavfi -i testsrc2=size=64x48:rate=10:duration=0.5"
sound="-f lavfi -i sine=sample_rate=8000:duration=0.5"

seed() {  # index extension ffmpeg-arguments...
  index=$1 extension=$2
  shift 2
  # shellcheck disable=SC2086
  ffmpeg -y -hide_banner -loglevel error -nostdin "$@" "$work/seed$extension"
  { printf "\\$(printf '%03o' "$index")"; cat "$work/seed$extension"; } > "$folder/${extension#.}"
}

seed 1 .mp4 $picture $sound -c:v libx264 -c:a aac -b:a 16k
seed 2 .avi $picture $sound -c:v mpeg4 -c:a pcm_u8
seed 3 .wav $sound -c:a pcm_s16le
seed 4 .ts $picture $sound -c:v mpeg2video -c:a mp2
seed 5 .mkv $picture $sound -c:v mpeg4 -c:a libvorbis
seed 6 .mov $picture $sound -c:v mjpeg -c:a pcm_s16le
seed 7 .flv $picture $sound -c:v flv1 -c:a adpcm_swf -ar 11025
seed 8 .ogg $picture $sound -c:v libtheora -c:a libvorbis
seed 9 .nut $picture $sound -c:v ffv1 -c:a flac
seed 10 .wmv $picture $sound -c:v wmv2 -c:a wmav2
seed 11 .mp3 $sound -c:a libmp3lame -b:a 32k
seed 12 .flac $sound
seed 13 .gif $picture
seed 14 .mpg $picture $sound -r 25 -c:v mpeg1video -c:a mp2
seed 15 .aac $sound -c:a aac -b:a 16k
