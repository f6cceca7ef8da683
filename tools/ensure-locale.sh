#!/usr/bin/env bash
# Makes a locale available (Wine runs the Windows tests in a Chinese one).
# Usage: tools/ensure-locale.sh zh_CN.UTF-8
set -euo pipefail
name=$1
normalized=$(echo "$name" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
if locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$normalized"; then exit 0; fi
sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
grep -qx "$name UTF-8" /etc/locale.gen 2>/dev/null || echo "$name UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
"${sudo_cmd[@]}" locale-gen >/dev/null
