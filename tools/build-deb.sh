#!/usr/bin/env bash
# Builds the Debian package from a clean copy of the committed tree (uncommitted changes
# are not in it), with its tests, and prints the path of the .deb on the last line.
# Usage: tools/build-deb.sh OUT_DIR
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "$1" && cd "$1" && pwd)"
version="$("$root/tools/project-version.sh")"
debian_version="$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version 2>/dev/null || true)"

"$root/tools/install-deps.sh" dpkg-dev debhelper
if [ "${debian_version%-*}" != "$version" ]; then
  echo "error: debian/changelog is at ${debian_version:-?}, CMakeLists.txt at $version" >&2
  exit 1
fi

if ! git -C "$root" diff --quiet HEAD 2>/dev/null; then
  echo "note: uncommitted changes are not in the package; it is built from $(git -C "$root" rev-parse --short HEAD)"
fi
work="$out/source"
rm -rf "$work"
mkdir -p "$work"
git -C "$root" archive --format=tar --prefix="zorbalin-$version/" HEAD | tar -x -C "$work"
cd "$work/zorbalin-$version"

# The build dependencies come from debian/control itself.
if ! dpkg-checkbuilddeps 2>/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing the build dependencies from debian/control"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get build-dep -y -qq --no-install-recommends .
fi

export DEB_BUILD_OPTIONS="parallel=${ZORBALIN_JOBS:-2} ${DEB_BUILD_OPTIONS:-}"
dpkg-buildpackage -us -uc -b > "$out/build.log" 2>&1 || {
  tail -n 80 "$out/build.log"
  echo "error: dpkg-buildpackage failed; the whole log is $out/build.log" >&2
  exit 1
}
grep -E '^(100% tests passed|[0-9]+% tests passed|Total Test time)' "$out/build.log" || true

deb="zorbalin_${debian_version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb"
mv "$work/$deb" "$out/"
rm -rf "$work"
echo "$out/$deb"
