#!/usr/bin/env bash
# Checks the Debian package as users get it: lintian --pedantic finds no
# error and no warning; its files, unpacked into a temporary root, hold a
# program that starts for real (under Xvfb, with a database named on the
# command line) and an mvd that checks that database; the desktop entry, the
# metainfo, the file type, the manual pages and the completions are valid.
#   check-install.sh [package]   (default: the newest build/release/package/mavrolin_*.deb,
#                                 which scripts/package.sh makes)
set -euo pipefail
cd "$(dirname "$0")/.."
deb="${1:-}"
if [[ -z "$deb" ]]; then
  # The newest, should older versions lie beside it.
  # shellcheck disable=SC2012 # the names are the package files of CPack
  deb=$(ls -t build/release/package/mavrolin_*.deb | head -1)
fi
app_id=org.example.Mavrolin

work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

echo "-- the package: $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends Homepage Vcs-Browser Vcs-Git \
  Installed-Size
for field in Homepage Vcs-Browser Vcs-Git; do
  [[ -n "$(dpkg-deb --field "$deb" "$field")" ]] || fail "the package has no $field field"
done
# Every remark of lintian at warning level or above fails, and --pedantic
# shows the rest; overrides need a reason in dist/lintian-overrides.
lintian --pedantic --display-info "$deb" 2>&1 | grep -v '^running with root privileges' |
  tee "$work/lintian.log" || true
if grep -q '^[EW]: ' "$work/lintian.log"; then fail "lintian found errors or warnings"; fi
echo "lintian: no errors, no warnings"

echo "-- the package's files, unpacked"
dpkg-deb -x "$deb" "$work/root"
usr="$work/root/usr"
for file in bin/mavrolin bin/mvd share/doc/mavrolin/handbuch.md share/doc/mavrolin/copyright \
  share/man/man1/mavrolin.1.gz share/man/man1/mvd.1.gz share/man/de/man1/mavrolin.1.gz \
  share/man/de/man1/mvd.1.gz share/bash-completion/completions/mvd \
  share/bash-completion/completions/mavrolin; do
  [[ -f "$usr/$file" ]] || fail "/usr/$file is missing"
done
login=$(find "$usr/lib" -name libLogin.so)
[[ "$login" == */mavrolin/libLogin.so ]] || fail "the login library is not in its private folder"
echo "login library: ${login#"$work/root"}"

echo "-- manual pages"
for page in "$usr"/share/man/man1/*.1.gz "$usr"/share/man/de/man1/*.1.gz; do
  # groff's own warnings (-ww), and man's rendering as a reader sees it.
  zcat "$page" | groff -ww -z -man -Tutf8 -K utf8 2>"$work/groff.log" || true
  if [[ -s "$work/groff.log" ]]; then cat "$work/groff.log" >&2; fail "groff warns about $page"; fi
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" >"$work/page.txt" 2>"$work/man.log"
  if [[ -s "$work/man.log" ]]; then cat "$work/man.log" >&2; fail "man warns about $page"; fi
  [[ $(wc -l <"$work/page.txt") -gt 40 ]] || fail "$page renders to almost nothing"
done
echo "all render"

echo "-- bash completions"
bash tests/dist/test_completion.sh "$usr/share/bash-completion/completions"

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

echo "-- the installed mvd"
# No library path: the installed programs need nothing from the build.
unset LD_LIBRARY_PATH
"$usr/bin/mvd" --version
db="$work/fehler.mvd"
"$usr/bin/mvd" add "$db" --language C++ --category Zeigerfehler --project Mavrolin \
  --date 07.12.2026 --minutes 45 --description "beim Installieren gefunden"
"$usr/bin/mvd" add "$db" --language Java --category "Eins-daneben-Fehler" --project Mavrolin \
  --date 08.12.2026 --minutes 5
"$usr/bin/mvd" check "$db" | tee "$work/check.txt"
grep -qx 'Einträge: 2' "$work/check.txt" || fail "mvd check counts the wrong number of entries"

echo "-- the installed program"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/mavrolin" --version)
[[ "$version" =~ ^Mavrolin\ [0-9]+\.[0-9]+$ ]] || fail "unexpected --version output: $version"
echo "$version"
# Without a display: a German explanation and status 1, not Qt's abort.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/mavrolin" "$db" \
  2>"$work/nodisplay.log" || status=$?
[[ $status -eq 1 ]] || fail "without a display the program ended with $status, not 1"
grep -q '^mavrolin: Mavrolin braucht eine grafische Anzeige' "$work/nodisplay.log" ||
  { cat "$work/nodisplay.log" >&2; fail "no German explanation without a display"; }

# A real start on a private X server, in a private home, with the database
# named on the command line. The login library notes the login in the state
# folder (proof that the program found it in its private folder); the window
# shows up with the user's name in its caption.
# Xvfb picks a free display and writes its number to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [[ -s "$work/display" ]] && break
  sleep 0.1
done
[[ -s "$work/display" ]] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=":$(head -1 "$work/display")"
export DISPLAY
mkdir -p "$work/home/config" "$work/home/state" "$work/home/runtime"
chmod 700 "$work/home/runtime"
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY HOME="$work/home" \
  XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state" \
  XDG_RUNTIME_DIR="$work/home/runtime" "$usr/bin/mavrolin" "$db" >"$work/start.log" 2>&1 &
program=$!
pids+=("$program")
window=
for _ in $(seq 150); do
  window=$(xdotool search --onlyvisible --name '^Mavrolin - ' 2>/dev/null | head -1) || true
  [[ -n "$window" ]] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
[[ -n "$window" ]] || { cat "$work/start.log" >&2; fail "no window of the installed program"; }
log="$work/home/state/Mavrolin/login.log"
[[ -s "$log" ]] || fail "the installed program did not log in"
echo "window: $(xdotool getwindowname "$window"); logged in: $(cut -f3,4 "$log")"
sleep 1 # the first paint
# The picture stays beside the package, to look at.
screen="$(dirname "$deb")/installed-start.png"
import -display "$DISPLAY" -window root "$screen"
colours=$(convert "$screen" -format %k info:)
[[ "$colours" -gt 20 ]] || fail "the screen shows $colours colours: no painted window"
kill -0 "$program" 2>/dev/null || fail "the installed program ended after its start"
echo "the window is painted ($colours colours on the screen)"
if [[ -s "$work/start.log" ]]; then
  echo "messages of the start:"
  cat "$work/start.log"
fi
