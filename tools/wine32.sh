#!/usr/bin/env bash
# Makes Wine's 32-bit half ready, so that the 32-bit build (the one that ships) runs under
# Wine as the 64-bit one does: adds Debian's i386 architecture and installs wine32:i386 when
# they are missing. Where the kernel does not run 32-bit programs, or the package cannot be
# installed (Debian's i386 index is sometimes out of step with amd64's), it says so in one
# line and fails, leaving the machine's packages as they were.
# Usage: tools/wine32.sh
set -uo pipefail

not_run() {
  echo "Windows 32-bit tests NOT RUN: $*; the 64-bit build's suites run alone." >&2
  exit 1
}

# A 93-byte 32-bit Linux program that exits with status 42: the kernel runs it or refuses it.
probe=$(mktemp /tmp/zorbalin-elf32.XXXXXX)
log=$(mktemp /tmp/zorbalin-wine32.XXXXXX)
trap 'rm -f "$probe" "$log"' EXIT
printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'\
'\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08'\
'\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0\xbb\x2a\0\0\0\xb8\x01\0\0\0\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ] || not_run "this kernel does not run 32-bit programs"

loader=/usr/lib/wine/wine  # the 32-bit loader, beside wine64
"$loader" --version >/dev/null 2>&1 && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || not_run "wine32:i386 is missing and neither root nor sudo is here"
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
added_i386=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386 || not_run "dpkg cannot add the i386 architecture"
  added_i386=yes
fi
# An index that fails to download shows in the install below: it finds no matching package.
index=
"${sudo_cmd[@]}" apt-get update -qq >/dev/null 2>&1 || index="an index failed to download; "
if ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends wine32:i386 >"$log" 2>&1; then
  # Without wine32, an added i386 architecture would only make every later apt-get update
  # fail on the index that is out of step: it goes again.
  if [ -n "$added_i386" ] && ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --remove-architecture i386 >/dev/null 2>&1 || true
  fi
  reason=$(grep -m1 '^E:' "$log" | cut -c4-)
  not_run "Debian's wine32:i386 cannot be installed here (${index}${reason:-apt-get failed})"
fi
"$loader" --version >/dev/null 2>&1 || not_run "wine32:i386 is installed but does not start"
