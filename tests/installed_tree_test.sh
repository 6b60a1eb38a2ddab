#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a user gets there: the tool,
# which runs, and a manual page that groff formats without a warning. The page and
# the README must both explain every message that the code throws.
# Usage: installed_tree_test.sh CMAKE BUILD_DIR SOURCE_DIR CODECS (bundled or system)
set -euo pipefail
cmake=$1 build=$2 source=$3 codecs=$4

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

installed=$(cd "$prefix" && find . -type f | LC_ALL=C sort)
docs=./share/doc/brindlewood_orvo_audio
expected=(./bin/brindlewood_orvo_audio "$docs/LICENSE" "$docs/README.md")
# The bundled build carries the licences of the codec libraries linked into the tool.
[ "$codecs" = system ] || expected+=("$docs/ffmpeg/COPYING.LGPLv2.1" "$docs/ffmpeg/LICENSE.md"
    "$docs/libogg/COPYING" "$docs/libvorbis/COPYING")
expected+=(./share/man/man1/brindlewood_orvo_audio.1)
expected=$(printf '%s\n' "${expected[@]}")
[ "$installed" = "$expected" ] || fail "installed files are:"$'\n'"$installed"

tool=$prefix/bin/brindlewood_orvo_audio
[ -x "$tool" ] || fail "$tool is not executable"
status=0
usage=$("$tool" 2>&1) || status=$?
[ "$status" -eq 2 ] || fail "without arguments the tool exits with $status"
[ "$usage" = "Usage: brindlewood_orvo_audio input.ild output.ogg" ] ||
    fail "without arguments the tool prints: $usage"

page=$prefix/share/man/man1/brindlewood_orvo_audio.1
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warns:"$'\n'"$warnings"

mapfile -t messages < <(grep -rhoE 'runtime_error\("[^"]+"\)' "$source/src" |
    sed -E 's/runtime_error\("(.*)"\)/\1/' | sort -u)
[ ${#messages[@]} -gt 0 ] || fail "no messages found in $source/src"
for message in "${messages[@]}"; do
    grep -qF -- "$message" "$page" || fail "the manual page does not explain \"$message\""
    grep -qF -- "$message" "$source/README.md" || fail "README.md does not explain \"$message\""
done
