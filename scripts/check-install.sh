#!/usr/bin/env bash
# Installs a build into a temporary folder and checks the installation: the
# installed program answers --version without a display and logs in with the
# installed login library; the desktop entry, the metainfo and the file type
# pass their validators. Then, when dpkg-shlibdeps and lintian are there,
# builds the Debian package and lets lintian check it.
#   check-install.sh [build folder]      (default: build/default, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
app_id=org.example.Mavrolin

work=$(mktemp -d)
pid=
cleanup() {
  if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

echo "-- install into a temporary folder"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
usr="$work/root/usr"

echo "-- the installed program"
# No display and no library path: --version must not need either.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u LD_LIBRARY_PATH "$usr/bin/mavrolin" --version)
[[ "$version" =~ ^Mavrolin\ [0-9]+\.[0-9]+$ ]] || fail "unexpected --version output: $version"
echo "$version"
# A real start (offscreen, private home): the login library notes the login in
# the state folder, which proves that the program found it in the private
# library folder. A missing library would show the fatal box instead.
mkdir -p "$work/home/config" "$work/home/state" "$work/home/runtime"
chmod 700 "$work/home/runtime"
env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen HOME="$work/home" \
  XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state" \
  XDG_RUNTIME_DIR="$work/home/runtime" "$usr/bin/mavrolin" >"$work/start.log" 2>&1 &
pid=$!
log="$work/home/state/Mavrolin/login.log"
for _ in $(seq 100); do
  [[ -s "$log" ]] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
[[ -s "$log" ]] || { cat "$work/start.log" >&2; fail "the installed program did not log in"; }
kill -0 "$pid" 2>/dev/null || fail "the installed program ended after the login"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
echo "logged in: $(cut -f3,4 "$log")"
"$usr/bin/mvd" --help >/dev/null

echo "-- desktop entry, metainfo, file type"
desktop-file-validate "$usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml"
# update-mime-database exits with 0 even on errors; it must say nothing.
XDG_DATA_DIRS="$usr/share" update-mime-database "$usr/share/mime" >"$work/mime.log" 2>&1
if [[ -s "$work/mime.log" ]]; then cat "$work/mime.log" >&2; fail "update-mime-database complained"; fi
grep -qx '50:application/x-mavrolin-database:\*\.mvd' "$usr/share/mime/globs2" ||
  fail "the glob *.mvd is missing from the MIME database"
grep -qa '#MLDB-MavrolinDataBase' "$usr/share/mime/magic" ||
  fail "the magic text is missing from the MIME database"
for icon in scalable/apps/$app_id.svg {16,32,48,64,128,256}/apps/$app_id.png; do
  [[ "$icon" == scalable/* ]] || icon="${icon%%/*}x$icon"
  [[ -f "$usr/share/icons/hicolor/$icon" ]] || fail "icon $icon is missing"
done
echo "all valid"

if ! command -v dpkg-shlibdeps >/dev/null || ! command -v lintian >/dev/null; then
  echo "-- no dpkg-shlibdeps or lintian: the Debian package is not built (install-deps.sh --test)"
  exit 0
fi
echo "-- Debian package"
cpack --config "$build/CPackConfig.cmake" -G DEB >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/package/mavrolin_*.deb)
dpkg-deb --field "$deb" Package Version Depends Recommends Installed-Size
lintian --fail-on error --display-level ">=warning" "$deb"
echo "lintian: no errors"
