#!/usr/bin/env bash
# The .exe must start on any 64-bit Windows as it is: every DLL it imports is one
# that Windows itself provides, none from the compiler or the codecs.
# Usage: windows_imports_test.sh OBJDUMP EXE
set -euo pipefail
objdump=$1 exe=$2

imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "FAIL: no imports read from $exe" >&2; exit 1; }
system_dlls='^(kernel32|msvcrt|ucrtbase|user32|advapi32|bcrypt|ole32|shell32|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'
foreign=$(grep -viE "$system_dlls" <<<"$imports" || true)
[ -z "$foreign" ] || { echo "FAIL: $exe needs DLLs Windows does not have: $foreign" >&2; exit 1; }
echo "imports: $(tr '\n' ' ' <<<"$imports")"
