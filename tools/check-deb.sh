#!/usr/bin/env bash
# Checks a built Debian package as a user and a distribution would: lintian, the desktop
# file and AppStream validators (any error or warning fails), one version everywhere, then
# installs it, starts the installed program until its window is painted, purges it and
# checks that none of its files is left. Installs and removes the package system-wide.
# Usage: tools/check-deb.sh PATH/zorbalin_VERSION_ARCH.deb
set -euo pipefail

deb="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$("$root/tools/project-version.sh")"
"$root/tools/install-deps.sh" lintian desktop-file-utils appstream
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== lintian $(basename "$deb")"
# Its tags go to standard output; its complaint about running as root goes to standard error.
lintian --fail-on error,warning "$deb" > "$work/lintian.txt" 2> "$work/lintian-stderr.txt" ||
  { cat "$work/lintian.txt" "$work/lintian-stderr.txt"; fail "lintian"; }
if [ -s "$work/lintian.txt" ]; then cat "$work/lintian.txt"; else echo "no errors, no warnings"; fi

dpkg-deb -x "$deb" "$work/files"
app_id=io.github.zorbalin.Zorbalin
desktop="$work/files/usr/share/applications/$app_id.desktop"
metainfo="$work/files/usr/share/metainfo/$app_id.metainfo.xml"
echo "== desktop-file-validate $app_id.desktop"
desktop-file-validate "$desktop" > "$work/desktop.txt" 2>&1 || true
if [ -s "$work/desktop.txt" ]; then cat "$work/desktop.txt"; fail "desktop-file-validate"; fi
echo "no errors, no warnings, no hints"
echo "== appstreamcli validate --no-net --strict $app_id.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"

echo "== one version: $version"
package_version="$(dpkg-deb -f "$deb" Version)"
[ "${package_version%-*}" = "$version" ] || fail "package version $package_version"
grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream release is not $version"
# Changes not yet released may stand above it, under "## Unreleased".
[ "$(grep '^## ' "$root/CHANGELOG.md" | grep -vm1 '^## Unreleased' | awk '{print $2}')" = "$version" ] ||
  fail "CHANGELOG.md does not start with $version"
for path in usr/bin/zorbalin usr/share/icons/hicolor/scalable/apps/$app_id.svg \
            usr/share/man/man1/zorbalin.1.gz usr/share/doc/zorbalin/copyright; do
  [ -f "$work/files/$path" ] || fail "/$path is not in the package"
done
echo "versions agree; binary, desktop file, icon, metainfo, man page and copyright in place"

echo "== apt-get install $(basename "$deb")"
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y -qq --no-install-recommends "$deb" > "$work/apt.txt" 2>&1; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "$deb" || fail "apt-get install"
fi
dpkg-query -L zorbalin | while read -r path; do [ -d "$path" ] || echo "$path"; done \
  > "$work/installed.txt"
echo "$(wc -l < "$work/installed.txt") files installed"

echo "== /usr/bin/zorbalin, offscreen, in a temporary home"
home="$work/home"
mkdir -p "$home/config" "$home/runtime"
chmod 700 "$home/runtime"
# Qt's painting log tells when the window has been drawn and flushed to its surface.
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" \
  QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="qt.widgets.painting=true" \
  /usr/bin/zorbalin > "$work/app.log" 2>&1 &
app=$!
shown=
for _ in $(seq 300); do   # at most 30 s
  if grep -q 'Flushing QRegion.* of zorbalin::window::Form1' "$work/app.log"; then shown=1; break; fi
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$shown" ]; then
  kill "$app" 2>/dev/null || true
  { grep -v '^qt\.' "$work/app.log" || true; } | tail -n 20
  fail "the window of /usr/bin/zorbalin was not shown within 30 s"
fi
echo "window Form1 shown"
# A termination signal closes the window as the user would: it stores the settings.
kill -TERM "$app"
status=0
timeout 10 tail --pid="$app" -f /dev/null || fail "zorbalin did not end within 10 s of SIGTERM"
wait "$app" || status=$?
[ "$status" -eq 0 ] || fail "zorbalin exited with status $status"
grep -q '^\[Nomal\]' "$home/config/Pellanor/Pellanor.conf" ||
  fail "the settings were not written to the temporary home"
echo "closed on SIGTERM with status 0; settings written to the temporary home"

echo "== apt-get purge zorbalin"
apt-get purge -y -qq zorbalin > "$work/purge.txt" 2>&1 || { cat "$work/purge.txt"; fail "apt-get purge"; }
if dpkg-query -W -f='${Status}' zorbalin 2>/dev/null | grep -q 'installed'; then
  fail "zorbalin is still known to dpkg"
fi
left="$(while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done < "$work/installed.txt")"
[ -z "$left" ] || fail "left behind after purge: $left"
echo "purged; none of its $(wc -l < "$work/installed.txt") files is left"
