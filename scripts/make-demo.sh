#!/usr/bin/env bash
# Lays out a demo Quake directory with official games, patches, read-me files
# and a stand-in game program, plus the runemark.ini that points at it.
# Usage: make-demo.sh DEST STANDIN   (STANDIN: the built stand-in program)
set -euo pipefail
mkdir -p "$1"
dest=$(cd "$1" && pwd)
standin=$2
quake="$dest/quake"

rm -rf "$quake"
mkdir -p "$quake"
pak() { mkdir -p "$quake/$1"; printf 'PACK' > "$quake/$1/$2"; }
progs() { mkdir -p "$quake/$1"; printf 'progs' > "$quake/$1/progs.dat"; }
text() { mkdir -p "$quake/$1"; printf '%s\r\n' "$3" > "$quake/$1/$2"; }

pak id1 pak0.pak
pak id1 pak1.pak
pak hipnotic pak0.pak
pak rogue pak0.pak
progs ctf
text ctf ctf.txt "Capture the flag: two teams, two flags, one map at a time."
text ctf readme.txt "See ctf.txt."
progs 3wave
text 3wave 3wave_readme.txt "Three Wave CTF, the classic."
pak "arcane dimensions" pak0.pak
text "arcane dimensions" readme.txt "A patch whose directory name holds a blank."
progs MyMod
text MyMod MyMod_Notes.TXT "A mixed-case directory: the list shows it as Mymod."
pak dm3pack pak0.pak
mkdir -p "$quake/maps" "$quake/id1/maps"
printf 'BSP' > "$quake/maps/e1m1.bsp"
printf 'not a patch: no progs.dat and no .pak file\r\n' > "$quake/maps/about.txt"

# The stand-in answers to the names the offered command lines start.
install -m 755 "$standin" "$quake/quake"
install -m 755 "$standin" "$quake/winquake"

printf '"%s"\r\n"%s"\r\n' "$quake" "quake -listen # +map #" > "$dest/runemark.ini"
echo "Demo Quake directory: $quake"
