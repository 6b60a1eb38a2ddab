#!/usr/bin/env bash
# Runs convert-all.bat, beside the .exe as in the zip, under Wine's cmd on ILD files from
# ildgen (whole blocks of 28 frames), given full paths as Explorer gives them, quoted when
# they hold spaces.
# Usage: convert_all_test.sh convert-all.bat brindlewood_orvo_audio.exe ildgen.exe
set -euo pipefail
export LC_ALL=C.UTF-8 WINEDEBUG=-all  # Wine then names files in UTF-8 and writes pipes in code page 1252
win() { echo "Z:${1//\//\\}"; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/tool-é"
cp "$1" "$2" "$dir/tool-é"
wine "$3" music "$(win "$dir/44100.ild")" 1
wine "$3" music "$(win "$dir/32000.ild")" 0.875 32000
failures=0
mismatch() { echo "$name: $*"; failures=$((failures + 1)); }

# Every case starts from this tree, in which existing.ogg must survive every run.
make_tree() {
    rm -rf "$dir/case" && mkdir -p "$dir/case/Rips ♪/sub" && cd "$dir/case/Rips ♪"
    cp ../../44100.ild one.ild && cp ../../44100.ild '50% & (b) !c^.ild' && cp ../../32000.ild 'zwei é.ild'
    cp ../../44100.ild existing.ild && echo old >existing.ogg && echo 'not ILD' >broken.ild
    cp ../../44100.ild sub/deeper.ild && cp ../../44100.ild '../single file.ild' && echo text >../notes.txt
    cd "$dir/case"
}

# check NAME STATUS LINES OGGS TOTALS ARGUMENTS...: the per-file lines (sorted, without the
# case folder), the totals, then pause; the status; every .ogg in the tree afterwards, sorted.
check() {
    local status=$2 lines=$3 oggs=$4 totals=$5 out actual=0
    name=$1 && shift 5 && make_tree
    local here && here="$(win "$PWD")\\"
    out=$(wine cmd /c "$(win "$dir/tool-é/convert-all.bat")" "${@/#/$here}" </dev/null | iconv -f CP1252) || actual=$?
    out=${out//$'\r'/}
    [ "$actual" = "$status" ] || mismatch "status $actual, not $status"
    diff <(echo "$lines") <(sed '/^$/,$d' <<<"$out" | while IFS= read -r line; do echo "${line#"$here"}"; done | sort) ||
        mismatch "the lines differ as shown"
    [ "$(tail -n 2 <<<"$out" | head -n 1)" = "$totals" ] || mismatch "the totals are not '$totals'"
    [[ "$(tail -n 1 <<<"$out")" == "Press any key"* ]] || mismatch "no pause at the end"
    diff <(echo "$oggs") <(find . -name '*.ogg' | sort) || mismatch "the .ogg files differ as shown"
    [ "$(cat 'Rips ♪/existing.ogg')" = old ] || mismatch "existing.ogg changed"
}

# A folder gives its own files, not its subfolder's. ♪ is outside code page 1252: Wine prints ?.
check folder 1 'Rips ?\50% & (b) !c^.ild: 44100 frames at 44100 Hz
Rips ?\broken.ild: Invalid ILD length
Rips ?\existing.ild: skipped, its .ogg exists already
Rips ?\one.ild: 44100 frames at 44100 Hz
Rips ?\zwei é.ild: 28000 frames at 32000 Hz' './Rips ♪/50% & (b) !c^.ogg
./Rips ♪/existing.ogg
./Rips ♪/one.ogg
./Rips ♪/zwei é.ogg' '3 converted, 1 failed, 1 skipped' 'Rips ♪'

check files_and_a_folder 0 'Rips ?\sub\deeper.ild: 44100 frames at 44100 Hz
Rips ?\zwei é.ild: 28000 frames at 32000 Hz
notes.txt: skipped, not an .ild file
single file.ild: 44100 frames at 44100 Hz' './Rips ♪/existing.ogg
./Rips ♪/sub/deeper.ogg
./Rips ♪/zwei é.ogg
./single file.ogg' '3 converted, 0 failed, 1 skipped' 'single file.ild' 'Rips ♪\zwei é.ild' notes.txt 'Rips ♪\sub'
exit $((failures > 0))
