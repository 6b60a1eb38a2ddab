#!/usr/bin/env bash
# Installs the build into a fresh prefix: the tool, which runs, and a manual page that groff
# formats without a warning; the page and README.md explain every message the code throws.
# Usage: installed_tree_test.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$1" --install "$2" --prefix "$prefix" >/dev/null
page=$prefix/share/man/man1/brindlewood_orvo_audio.1
diff <(cd "$prefix" && find . -type f | sort) <(printf './bin/brindlewood_orvo_audio\n./%s\n' "${page#"$prefix"/}")
diff <("$prefix/bin/brindlewood_orvo_audio" 2>&1 || echo "status $?") - <<<$'Usage: brindlewood_orvo_audio input.ild output.ogg\nstatus 2'
diff <(groff -man -ww -z "$page" 2>&1) /dev/null
grep -rhoE 'runtime_error\("[^"]+"\)' "$3/src" | sed -E 's/runtime_error\("(.*)"\)/\1/' | sort -u | while read -r message; do
    grep -qF -- "$message" "$page" || { echo "the manual page does not explain \"$message\""; exit 1; }
    grep -qF -- "$message" "$3/README.md" || { echo "README.md does not explain \"$message\""; exit 1; }
done
