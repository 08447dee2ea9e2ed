#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop user gets: the program
# folder and its links, the launcher files (through their validators), the command line without
# a display, and that the program started through its link finds its skin.
# Usage: check-install.sh BUILD_DIR
set -uo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME=$scratch/data # the history of the programs started here stays in the scratch
prefix=$scratch/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Runs "$@" on an X server of its own. The server picks a free display itself and tells which
# (-displayfd), so a busy machine's other servers can never take it first; when it cannot start,
# what it said is reported.
with_xvfb() {
  local said ready display status
  said=$(mktemp) ready=$(mktemp -u)
  mkfifo "$ready"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$ready" 2>"$said" &
  local server=$!
  read -r -t 120 display <"$ready"
  rm -f "$ready"
  if [ -z "$display" ]; then
    echo "Xvfb did not start: $(tail -n 5 "$said")"
    kill "$server" 2>/dev/null
    rm -f "$said"
    return 1
  fi
  # Told its number, the server may still be settling on a loaded machine: it is used once it
  # answers a client.
  for _ in $(seq 600); do
    DISPLAY=:$display xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
  done
  DISPLAY=:$display "$@"
  status=$?
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -f "$said"
  return $status
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

app=com.varnel.IndexQuery
for f in lib/varnel-index-query/varnel-index-query lib/varnel-index-query/skinh.she \
         lib/varnel-index-query/varnel-standin lib/varnel-index-query/sample-domains.txt \
         share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
         share/icons/hicolor/scalable/apps/$app.svg; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for link in varnel-index-query varnel-standin; do
  [ -L "$prefix/bin/$link" ] && [ -x "$prefix/bin/$link" ] || fail "bin/$link is not a working link"
done

for page in varnel-index-query varnel-standin; do
  man_page="$prefix/share/man/man1/$page.1.gz"
  [ -f "$man_page" ] || fail "no manual page for $page"
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
  [ -z "$rendered" ] || fail "manual page of $page: $rendered"
done
# Every option, and the sections a reader looks for; Chinese text flows without stray blanks
# after its punctuation or where lines were joined.
for page in varnel-index-query varnel-standin; do
  text=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null)
  options=$(env -u DISPLAY "$prefix/bin/$page" --help | grep -oE -- "--[a-z-]+" | sort -u)
  for option in $options; do
    grep -q -- "$option" <<<"$text" || fail "the manual page of $page lacks $option"
  done
  sections="EXIT STATUS|EXAMPLES"
  [ $page = varnel-index-query ] && sections="EXIT STATUS|FILES|ENVIRONMENT|EXAMPLES"
  [ "$(grep -cxE "$sections" <<<"$text")" -eq "$(tr '|' '\n' <<<"$sections" | wc -l)" ] \
    || fail "the manual page of $page lacks one of $sections"
  LC_ALL=C.UTF-8 grep -nP '[\x{3000}-\x{303F}\x{FF00}-\x{FFEF}] |\p{Han} \p{Han}' <<<"$text" \
    && fail "the manual page of $page has blanks in Chinese text"
done
# Each exit status the help names is in the manual page's section.
statuses=$(env -u DISPLAY "$prefix/bin/varnel-index-query" --help | sed -n '/^退出状态：$/,/^$/p' \
  | awk 'NF > 1 { print $1 }')
exit_section=$(LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$prefix/share/man/man1/varnel-index-query.1.gz" \
  2>/dev/null | sed -n '/^EXIT STATUS$/,/^[A-Z]/p')
for status in $statuses; do
  grep -qE "^ +$status +" <<<"$exit_section" || fail "the manual page lacks exit status $status"
done
# Made under a locale without UTF-8, every Chinese character would be a "?".
for page in varnel-index-query varnel-standin; do
  text=$(zcat "$prefix/share/man/man1/$page.1.gz")
  LC_ALL=C.UTF-8 grep -qP '\p{Han}' <<<"$text" && ! grep -qF '???' <<<"$text" \
    || fail "manual page of $page holds no Chinese text"
done

desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop entry"
# Docks and task switchers match the window to its desktop entry (and its icon) by its class.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$app.desktop")
seen=$(with_xvfb bash -c '
  for attempt in 1 2; do
    QT_QPA_PLATFORM=xcb "$1" --stats-url http://127.0.0.1:9 --update-url http://127.0.0.1:9 \
      >/dev/null 2>"$2" &
    program=$!
    for _ in $(seq 1800); do # a first start in a fresh system builds the font cache first
      id=$(LC_ALL=C.UTF-8 xwininfo -root -tree | awk "/Varnel/ { print \$1; exit }")
      [ -n "$id" ] && break
      kill -0 $program 2>/dev/null || break
      sleep 0.1
    done
    # Xvfb on a loaded machine now and then turns a client away: asked once more then.
    [ -z "$id" ] && grep -q "could not connect to display" "$2" || break
  done
  [ -n "$id" ] && xprop -id "$id" WM_CLASS
  [ -n "$id" ] || echo "no window in 180 s: $(cat "$2")"
  kill $program 2>/dev/null' _ "$prefix/bin/varnel-index-query" "$scratch/wm.err" 2>/dev/null)
grep -q ", \"$wm_class\"\$" <<<"$seen" || fail "window class '$seen', desktop entry says '$wm_class'"
# A second start on the same display hands over to the window there and ends, leaving one
# window (a start for 服务设置 has the window show its dialog); a socket left by a start killed outright never blocks the next. With no session bus,
# none is started behind the user's back (dbus-launch would outlive the program).
printf 'handed.com\n' >"$scratch/handed.txt"
entry=$prefix/share/applications/$app.desktop
action=$(sed -n '/^\[Desktop Action service-settings\]/,/^\[/s/^Exec=varnel-index-query //p' "$entry")
grep -qx "Actions=service-settings;" "$entry" && [ -n "$action" ] \
  && grep -A3 -x "\[Desktop Action service-settings\]" "$entry" | grep -qx "Name\[zh_CN\]=服务设置" \
  || fail "the desktop entry offers no 服务设置 action"
seen=$(with_xvfb env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$scratch/runtime" bash -c '
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  windows() { LC_ALL=C.UTF-8 xwininfo -root -tree | grep -c "Varnel网站收录"; }
  # On a loaded machine Xvfb now and then turns a client away, which is the server and not the
  # program: each start is then asked once more.
  turnedAway() { grep -q "could not connect to display" "$XDG_RUNTIME_DIR/said"; }
  start() {
    for attempt in 1 2; do
      QT_QPA_PLATFORM=xcb "$1" --stats-url http://127.0.0.1:9 --update-url http://127.0.0.1:9 \
        >/dev/null 2>"$XDG_RUNTIME_DIR/said" &
      program=$!
      for _ in $(seq 1800); do
        [ "$(windows)" -ge 1 ] && ls "$XDG_RUNTIME_DIR"/varnel-index-query-* >/dev/null 2>&1 && break
        kill -0 $program 2>/dev/null || break
        sleep 0.1
      done
      ! kill -0 $program 2>/dev/null && turnedAway || break
    done
  }
  later() { # a start that hands over to the window and ends
    for attempt in 1 2; do
      QT_QPA_PLATFORM=xcb timeout 60 "$@" >/dev/null 2>"$XDG_RUNTIME_DIR/said"
      status=$?
      turnedAway || break
    done
    return $status
  }
  start "$1"
  later "$1" "$2"
  echo "second start: $? windows: $(windows)"
  later "$1" $3 # 服务设置 from the launcher menu
  settings=$?
  for _ in $(seq 600); do
    LC_ALL=C.UTF-8 xwininfo -root -tree | grep -q "\"服务设置\"" && break
    sleep 0.1
  done
  LC_ALL=C.UTF-8 xwininfo -root -tree | grep -q "\"服务设置\"" && echo "settings start: $settings shown"
  kill -KILL $program
  wait $program 2>/dev/null
  # The server first lets go of the killed window.
  for _ in $(seq 600); do [ "$(windows)" -eq 0 ] && break; sleep 0.1; done
  start "$1"
  kill -0 $program 2>/dev/null && echo "after a kill: windows: $(windows)"
  kill -0 $program 2>/dev/null || cat "$XDG_RUNTIME_DIR/said"
  kill $program
  wait $program 2>/dev/null
  pgrep -u "$(id -u)" -f "[d]bus-launch --autolaunch" >/dev/null && echo "a bus was started"
  true' _ "$prefix/bin/varnel-index-query" "$scratch/handed.txt" "$action" 2>&1)
# (The shell's own note of a start Xvfb turned away may stand between these lines.)
[ "$(grep -E '^(second start|settings start|after a kill):' <<<"$seen")" = "second start: 0 windows: 1
settings start: 0 shown
after a kill: windows: 1" ] && ! grep -q "a bus was started" <<<"$seen" \
  || fail "one window per display: '$seen'"
# Read out as a screen reader reads it: a real AT-SPI client, on a session bus of its own.
export -f with_xvfb
out=$(timeout 300 dbus-run-session -- bash -c 'with_xvfb "$@"' _ bash -c '
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
  for attempt in 1 2; do
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1" >/dev/null 2>"$3" &
    program=$!
    for _ in $(seq 1800); do
      LC_ALL=C.UTF-8 xwininfo -root -tree | grep -q "Varnel网站收录" && break
      kill -0 $program 2>/dev/null || break
      sleep 0.1
    done
    # Xvfb on a loaded machine now and then turns a client away: asked once more then.
    ! kill -0 $program 2>/dev/null && grep -q "could not connect to display" "$3" || break
  done
  /usr/bin/python3 "$2"
  status=$?
  kill $program
  exit $status' _ "$prefix/bin/varnel-index-query" "$(dirname "$0")/read-out.py" "$scratch/read-out.err" \
  2>/dev/null) \
  || fail "read out: $out"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" >/dev/null \
  || fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml")"

# The command line needs no display: with the X11 platform and no DISPLAY, opening a window
# would abort the program.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/varnel-index-query" "$@"; }
out=$(nodisplay --version 2>&1); rc=$?
[ $rc -eq 0 ] && [ "$out" = "varnel-index-query 1.0.0" ] || fail "--version: $rc '$out'"
out=$(nodisplay -platform offscreen -v 2>&1); rc=$? # Qt's own options pass
[ $rc -eq 0 ] && [ "$out" = "varnel-index-query 1.0.0" ] || fail "-platform: $rc '$out'"
out=$(nodisplay --help 2>&1); rc=$?
[ $rc -eq 0 ] && grep -q -- "--version" <<<"$out" && grep -q "^  143  " <<<"$out" \
  && ! grep -qE "Usage|Options|Displays|(，|。|；|：|、|）) " <<<"$out" || fail "--help: $rc '$out'"
out=$(env -u DISPLAY "$prefix/bin/varnel-standin" --help 2>&1); rc=$?
[ $rc -eq 0 ] && grep -q "^用法：varnel-standin" <<<"$out" \
  && ! grep -qE "Usage|Options|Displays|(，|。|；|：|、|）) " <<<"$out" || fail "varnel-standin --help: $rc '$out'"
out=$(env -u DISPLAY "$prefix/bin/varnel-standin" --version 2>&1); rc=$?
[ $rc -eq 0 ] && [ "$out" = "varnel-standin 1.0.0" ] || fail "varnel-standin --version: $rc '$out'"
env -u DISPLAY "$prefix/bin/varnel-standin" --help 2>&1 | grep -q "18080" || fail "varnel-standin --help names no port"

# Started as its menu entry starts it, with nothing named: it brings its own sample service,
# which never outlives it, however it ends.
QT_QPA_PLATFORM=offscreen "$prefix/bin/varnel-index-query" >/dev/null 2>&1 &
program=$!
sample=
for _ in $(seq 100); do
  sample=$(ps -o pid= --ppid "$program" | tr -d ' ')
  [ -n "$sample" ] && break
  sleep 0.1
done
[ -n "$sample" ] || fail "no sample service started"
kill -KILL "$program"
wait "$program" 2>/dev/null
for _ in $(seq 100); do
  [ -z "$sample" ] || ! kill -0 "$sample" 2>/dev/null && break
  sleep 0.1
done
[ -z "$sample" ] || ! kill -0 "$sample" 2>/dev/null || fail "the sample service outlived the program"
# The batch mode needs no display at all; with nothing named it brings its sample service too.
printf 'example.com\nunknown.com\n' >"$scratch/list.txt"
out=$(nodisplay --batch "$scratch/list.txt" --output "$scratch/out.csv" 2>"$scratch/err"); rc=$?
[ $rc -eq 1 ] && grep -q '^1,example.com,"12,300"' "$scratch/out.csv" \
  && grep -q '^2,unknown.com,,,,' "$scratch/out.csv" && grep -q "示例数据" "$scratch/err" \
  || fail "batch: $rc '$(cat "$scratch/err")'"
# A usage error is one line saying what is wrong and where to look, not the whole help.
for wrong in stray-argument --no-such-option; do
  out=$(nodisplay --batch "$scratch/list.txt" $wrong 2>"$scratch/err"); rc=$?
  [ $rc -eq 2 ] && [ -z "$out" ] && [ "$(wc -l <"$scratch/err")" -eq 2 ] \
    && grep -q -- "$wrong" "$scratch/err" && [ "$(tail -1 "$scratch/err")" = "用 --help 查看用法。" ] \
    || fail "$wrong: $rc '$out' '$(cat "$scratch/err")'"
done
out=$(nodisplay -session abc -geometry 10x10 -reverse --stats-url http://127.0.0.1:9 -v 2>&1); rc=$?
[ $rc -eq 0 ] && [ "$out" = "varnel-index-query 1.0.0" ] || fail "Qt's options and a service: $rc '$out'"
out=$(nodisplay --update-url ftp://x 2>"$scratch/err"); rc=$?
[ $rc -eq 2 ] && [ -z "$out" ] && head -1 "$scratch/err" | grep -q -- '--update-url: .*"ftp://x"' \
  || fail "bad service: $rc '$out' '$(cat "$scratch/err")'"
# Started through its link, the program finds the skin in its own folder; a copy of it without
# the skin beside it says so (which shows that the check can see a missing skin).
skinless=$scratch/skinless
mkdir -p "$skinless" && cp "$prefix/lib/varnel-index-query/varnel-index-query" "$skinless/"
# Both start together; once the copy has said so, the linked one has had as long to get there.
QT_QPA_PLATFORM=offscreen "$prefix/bin/varnel-index-query" >/dev/null 2>"$scratch/linked.err" &
linked=$!
QT_QPA_PLATFORM=offscreen "$skinless/varnel-index-query" >/dev/null 2>"$scratch/skinless.err" &
copy=$!
for _ in $(seq 100); do
  grep -q "skin not loaded" "$scratch/skinless.err" && break
  sleep 0.1
done
sleep 0.3
kill $linked $copy 2>/dev/null
wait $linked $copy 2>/dev/null
grep -q "skin not loaded" "$scratch/skinless.err" || fail "a missing skin went unnoticed"
grep -q "skin not loaded" "$scratch/linked.err" && fail "skin not found: $(cat "$scratch/linked.err")"

[ $failures -eq 0 ] && echo "install checks passed"
exit $((failures == 0 ? 0 : 1))
