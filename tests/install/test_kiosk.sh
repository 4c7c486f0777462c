#!/usr/bin/env bash
# The exam room launcher and its setup. The launcher runs on a virtual
# screen with a stand-in for the station (KIOSK_STANDIN) and the real
# screens program (QUORVEL_KIOSK_ENDED): for each way a station ends, what
# comes on screen next and what the next run is told for its journal. The
# setup runs into a folder standing in for / (QUORVEL_KIOSK_ROOT) with the
# station's own folder rule (QUORVEL_FOLDER_RULE): what it refuses (changing
# nothing), what it writes, and that --remove leaves that root as it was.
set -uo pipefail
# Window names are read as UTF-8, as in the session (which sets its locale).
export LANG=C.UTF-8
unset LC_ALL
kiosk_dir=$(cd "$(dirname "$0")/../../kiosk" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() {  # check NAME CONDITION-STATUS DETAILS
  if [ "$2" -eq 0 ]; then echo "PASS: $1"; else echo "FAIL: $1: $3"; failures=$((failures + 1)); fi
}
for v in QUORVEL_FOLDER_RULE QUORVEL_KIOSK_ENDED KIOSK_STANDIN QUORVEL_STAFF; do
  [ -x "${!v:-}" ] || { echo "FAIL: $v names no program (run through ctest)"; exit 1; }
done

# ---- The launcher ---------------------------------------------------------
# A free display of Xvfb's own choice, told once it accepts clients; no
# reset (which refuses connections for a moment) when the last client goes,
# as the session's X server (see the setup).
mkfifo "$work/xready"
Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$work/xready" >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r number <"$work/xready" || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$number
ulimit -c 0

# until_shown TITLE: a visible window named TITLE within 20 s.
until_shown() {
  local _
  for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
shown_now() { xdotool search --onlyvisible --name "." getwindowname %@ 2>/dev/null | sort | paste -sd, -; }

# name | station's ends | what the test does (after the first window) |
#   next screen | what the last run's journal line says
launcher_table=(
  "clean end|0||Работа станции завершена|run 1: "
  "SIGTERM|STAY STAY|term|standin run 2|run 2: it was ended by SIGTERM (status 143); started again by the kiosk launcher"
  "crash|SEGV STAY||standin run 2|run 2: it was ended by SIGSEGV (status 139); started again by the kiosk launcher"
  "ends at once three times|1 1 1 STAY|again|standin run 4|run 4: it ended with status 1; started again by staff after 3 ends within a minute"
  "window gone, process alive|GONE STAY||standin run 2|run 2: its window was gone while its process still ran; the launcher ended it (status 143); started again by the kiosk launcher"
  "station folder missing|STAY|folder|standin run 1|run 1: "
  "clean end, staff go on with the exam|0 STAY|staff 10|standin run 2|run 2: "
  "clean end, staff leave the session|0|staff 20||run 1: "
)
for row in "${launcher_table[@]}"; do
  IFS='|' read -r name ends action next said <<<"$row"
  run=$work/run-$RANDOM
  mkdir -p "$run/folder/KIM" "$run/runtime"
  chmod 700 "$run/runtime"
  folder=$run/folder
  args=()
  if [ "$action" = folder ]; then folder=$run/stick/station; args=(--folder "$folder"); fi
  # The staff screen's stand-in: says where it ran and ends as staff chose.
  staff=""
  if [ "${action%% *}" = staff ]; then
    staff=$run/staff
    printf '#!/bin/sh
echo "$*" >>"%s/staff-runs"
exit %s
' "$run" "${action#* }" >"$staff"
    chmod +x "$staff"
  fi
  (cd "$run/folder" && STANDIN_WORK=$run STANDIN_ENDS=$ends XDG_RUNTIME_DIR=$run/runtime QUORVEL_KIOSK_STAFF=$staff \
    QUORVEL_STAFF_PIN=$run/pin exec "$kiosk_dir/quorvel-kiosk" "${args[@]}" "$KIOSK_STANDIN" >"$run/log" 2>&1) &
  launcher=$!
  pids+=("$launcher")
  case "$action" in
    term)
      until_shown "standin run 1"
      kill -TERM "$(pgrep -P "$launcher" -x kiosk_standin)" ;;
    again)
      until_shown "Станция не работает"
      check "$name: the staff see the station's last message" \
        "$(grep -q "stand-in: no KIM here" "$run/runtime/quorvel-kiosk/report.txt"; echo $?)" "$(cat "$run/runtime/quorvel-kiosk/report.txt")"
      check "$name: no fourth run before the staff ask" "$([ "$(cat "$run/runs")" = 3 ]; echo $?)" "$(cat "$run/runs") runs"
      xdotool search --onlyvisible --name "^Станция не работает\$" windowfocus --sync
      xdotool key Return ;;
    folder)
      until_shown "Ожидание папки станции"
      check "$name: the waiting screen, nothing started" "$([ ! -e "$run/runs" ]; echo $?)" "$(cat "$run/log")"
      sleep 1
      mkdir -p "$folder/KIM" ;;
  esac
  if [ "$action" = "staff 20" ]; then
    wait "$launcher"
    check "$name: the launcher ends with status 20, which ends the session" "$([ $? -eq 20 ]; echo $?)" "$(cat "$run/log")"
  else
    until_shown "$next"
    check "$name: $next comes on screen" $? "on screen: $(shown_now); $(cat "$run/log")"
  fi
  if [ -n "$staff" ]; then
    check "$name: the staff screen ran once, in the station folder with the PIN file" \
      "$([ "$(cat "$run/staff-runs")" = "--pin-file $run/pin $folder" ]; echo $?)" "$(cat "$run/staff-runs" 2>/dev/null)"
  fi
  journal=$folder/journal
  check "$name: the journal says \"$said\"" "$([ "$(tail -n 1 "$journal" 2>/dev/null)" = "$said" ]; echo $?)" \
    "$(cat "$journal" 2>/dev/null; cat "$run/log")"
  check "$name: kiosk mode on X11 in the station folder" \
    "$([ "$(cat "$run/env")" = "1 xcb $folder" ]; echo $?)" "$(cat "$run/env")"
  if [ "$next" != "Работа станции завершена" ]; then
    check "$name: no end screen" "$(! xdotool search --name "^Работа станции завершена\$" >/dev/null 2>&1; echo $?)" "$(shown_now)"
  fi
  kill -TERM "$launcher" 2>/dev/null
  wait "$launcher" 2>/dev/null
  left=$(grep -l "STANDIN_WORK=$run" /proc/[0-9]*/environ 2>/dev/null)
  check "$name: the launcher ends what it started" "$([ -z "$left" ]; echo $?)" "$left"
done

# ---- The session, and the room view of it ---------------------------------
# The session of the account running this test, with the stand-in as its
# station (as "quorvel" on PATH) and a stand-in for Epoptes' per-user client.
run=$work/session
mkdir -p "$run/folder/KIM" "$run/runtime" "$run/bin"
chmod 700 "$run/runtime"
ln -s "$KIOSK_STANDIN" "$run/bin/quorvel"
printf '#!/bin/sh\necho "$DISPLAY" >"%s/epoptes"\nexec sleep 600\n' "$run" >"$run/bin/epoptes-client"
chmod +x "$run/bin/epoptes-client"
session() {  # (session CONF): the session with that kiosk.conf text, in place of the subshell
  printf '%s\n' "$1" >"$run/kiosk.conf"
  exec env PATH="$run/bin:$kiosk_dir:$PATH" STANDIN_WORK=$run STANDIN_ENDS="STAY STAY" XDG_RUNTIME_DIR=$run/runtime \
    LANG=C LC_ALL=C QUORVEL_KIOSK_CONF=$run/kiosk.conf QUORVEL_EPOPTES_CLIENT=$run/bin/epoptes-client \
    "$kiosk_dir/quorvel-session"
}
for conf in "" "ACCOUNT=someone-else
STATION_FOLDER=$run/folder"; do
  (session "$conf") >"$run/log" 2>&1
  check "a session not set up for this account ends at once (status 1)" "$([ $? -eq 1 ]; echo $?)" "$(cat "$run/log")"
done
(session "ACCOUNT=$(id -un)
STATION_FOLDER=$run/folder
PROGRAM=quorvel
LOCALE=ru_RU.UTF-8") >"$run/log" 2>&1 &
session_pid=$!
pids+=("$session_pid")
until_shown "standin run 1"
check "the session runs the station" $? "$(shown_now); $(cat "$run/log")"
check "the session runs in Russian whatever the system's locale" \
  "$(tr '\0' '\n' <"/proc/$(pgrep -P "$(pgrep -P "$session_pid" -x quorvel-kiosk)" -x quorvel)/environ" | grep -qx LC_ALL=ru_RU.UTF-8; echo $?)" "no LC_ALL=ru_RU.UTF-8"
check "the session starts Epoptes' per-user client on its display" "$([ "$(cat "$run/epoptes" 2>/dev/null)" = "$DISPLAY" ]; echo $?)" "not started"

# Another process watches the session's screen: x11vnc on its display, read
# by an RFB client: the station's window (#3060a0) at 100,100 400x300 on black.
port=$((5900 + 100 + RANDOM % 800))
x11vnc -display "$DISPLAY" -rfbport "$port" -localhost -nopw -shared -forever -quiet -noxdamage >"$run/vnc.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.2; done
view=$(python3 "$(dirname "$0")/rfb_frame.py" "$port" 300,250 1000,700 2>&1)
check "the room view sees the session's screen" \
  "$([ "$view" = "$(printf '1280x800\n300,250 3060a0\n1000,700 000000')" ]; echo $?)" "$view; $(cat "$run/vnc.log")"
kill "${pids[-1]}" 2>/dev/null

# Whatever ends in the session is started again: the launcher, then its station.
kill -TERM "$(pgrep -P "$session_pid" -x quorvel-kiosk)"
until_shown "standin run 2"
check "a launcher that ended is started again by the session" $? "$(shown_now); $(cat "$run/log")"
kill -TERM "$session_pid"
wait "$session_pid" 2>/dev/null
left=$(grep -l "STANDIN_WORK=$run" /proc/[0-9]*/environ 2>/dev/null)
check "the session ends what it started" "$([ -z "$left" ]; echo $?)" "$left"

kill "${pids[0]}" 2>/dev/null

# arguments | environment | exit status
refusals=(
  "||2"
  "quorvel quorvel-flat||2"
  "no-such-program-here||2"
  "--folder||2"
  "$KIOSK_STANDIN|DISPLAY=|2"
)
for row in "${refusals[@]}"; do
  IFS='|' read -r args environment status <<<"$row"
  # shellcheck disable=SC2086
  env DISPLAY=:0 $environment "$kiosk_dir/quorvel-kiosk" $args >/dev/null 2>&1
  got=$?
  check "quorvel-kiosk $args ($environment) exits $status" "$([ $got -eq "$status" ]; echo $?)" "exit $got"
done

# ---- The setup ------------------------------------------------------------
# A stand-in root as a Debian 12 PC has it: locale.gen with ru_RU commented
# out, systemd's folder, and a shared folder in /srv that is not the exam
# account's (mode 1777, as /tmp).
make_root() {
  rm -rf "$work/root"
  mkdir -p "$work/root/etc/systemd/system" "$work/root/srv/shared" "$work/root/var/lib"
  printf '# en_US.UTF-8 UTF-8\n# ru_RU.UTF-8 UTF-8\n' >"$work/root/etc/locale.gen"
  chmod 1777 "$work/root/srv/shared"
}
# Every name, type, mode, owner and content in the stand-in root.
snapshot() {
  (cd "$work/root" && find . -printf '%p %y %m %u %g %l\n' | sort &&
    find . -type f -print0 | sort -z | xargs -0 -r md5sum)
}
setup() { QUORVEL_KIOSK_ROOT=$work/root "$kiosk_dir/quorvel-kiosk-setup" "$@"; }

# arguments | exit status   (each refused, and nothing changed)
setup_refusals=(
  "exam /tmp quorvel|1"
  "exam /tmp/exam/station quorvel|1"
  "exam /var quorvel|1"
  "exam /srv quorvel|1"
  "exam /opt quorvel|1"
  "exam /root/station quorvel|1"
  "exam /home/alice/station quorvel|1"
  "exam /usr/lib/station quorvel|1"
  "exam /etc/../usr/lib quorvel|1"
  "exam / quorvel|1"
  "exam /home quorvel|1"
  "exam /srv/shared quorvel|1"
  "root /srv/station quorvel|1"
  "nobody /srv/station quorvel|1"
  "Exam! /srv/station quorvel|1"
  "exam station quorvel|1"
  "exam /srv/a\"b quorvel|1"
  "exam /srv/station bash|1"
  "--locale xx exam /srv/station quorvel|1"
  "exam /srv/station|2"
)
for row in "${setup_refusals[@]}"; do
  IFS='|' read -r args status <<<"$row"
  make_root
  before=$(snapshot)
  # shellcheck disable=SC2086
  setup $args >"$work/setup.log" 2>&1
  got=$?
  check "setup $args exits $status" "$([ $got -eq "$status" ]; echo $?)" "exit $got: $(cat "$work/setup.log")"
  check "setup $args changes nothing" "$([ "$before" = "$(snapshot)" ]; echo $?)" \
    "$(diff <(echo "$before") <(snapshot))"
done

# What the stand-in root holds before | arguments | settings checked (file:line ..., ~ for a space)
setup_table=(
  "plain|exam /srv/exam/station quorvel|/etc/quorvel/kiosk.conf:LOCALE=ru_RU.UTF-8 /etc/locale.gen:ru_RU.UTF-8~UTF-8"
  "masked|exam /srv/exam/station quorvel-flat|/etc/quorvel/kiosk.conf:PROGRAM=quorvel-flat"
  "locale|--locale en_GB.UTF-8 exam /var/lib/exam quorvel|/etc/quorvel/kiosk.conf:LOCALE=en_GB.UTF-8 /etc/locale.gen:en_GB.UTF-8~UTF-8"
)
for row in "${setup_table[@]}"; do
  IFS='|' read -r kind args expected <<<"$row"
  make_root
  case "$kind" in
    masked)
      ln -s /dev/null "$work/root/etc/systemd/system/ctrl-alt-del.target"
      ln -s /lib/systemd/system/multi-user.target "$work/root/etc/systemd/system/default.target" ;;
  esac
  before=$(snapshot)
  # shellcheck disable=SC2086
  setup $args >"$work/setup.log" 2>&1
  check "setup ($kind) $args" $? "$(cat "$work/setup.log")"
  # shellcheck disable=SC2086
  set -- $args
  [ "$1" = --locale ] && shift 2
  account=$1 folder=$2 program=$3
  settings=(
    "/etc/lightdm/lightdm.conf.d/50-quorvel-kiosk.conf:autologin-user=$account"
    "/etc/lightdm/lightdm.conf.d/50-quorvel-kiosk.conf:autologin-session=quorvel-kiosk"
    "/etc/quorvel/kiosk.conf:ACCOUNT=$account"
    "/etc/quorvel/kiosk.conf:STATION_FOLDER=$folder"
    "/etc/quorvel/kiosk.conf:PROGRAM=$program"
    "/etc/X11/xorg.conf.d/50-quorvel-kiosk.conf:Option~\"DontVTSwitch\"~\"true\""
    "/etc/X11/xorg.conf.d/50-quorvel-kiosk.conf:Option~\"DontZap\"~\"true\""
    "/etc/systemd/logind.conf.d/50-quorvel-kiosk.conf:HandlePowerKey=ignore"
    "/etc/sysctl.d/50-quorvel-kiosk.conf:kernel.sysrq~=~0"
    $expected
  )
  for s in "${settings[@]}"; do
    file=${s%%:*} line=${s#*:}
    line=${line//\~/ }
    check "($kind) $file holds $line" "$(sed 's/^ *//' "$work/root$file" 2>/dev/null | grep -qxF -- "$line"; echo $?)" \
      "$(cat "$work/root$file" 2>/dev/null)"
  done
  check "($kind) no other account gets the kiosk as its session" \
    "$(! grep -q '^user-session' "$work/root/etc/lightdm/lightdm.conf.d/50-quorvel-kiosk.conf"; echo $?)" "user-session set"
  check "($kind) the session file is the package's, not written" \
    "$([ ! -e "$work/root/usr/share/xsessions" ]; echo $?)" "$(find "$work/root/usr" 2>/dev/null)"
  check "($kind) the station folder made" "$([ -d "$work/root$folder" ]; echo $?)" "no $folder"
  check "($kind) Ctrl+Alt+Del masked" \
    "$([ "$(readlink "$work/root/etc/systemd/system/ctrl-alt-del.target")" = /dev/null ]; echo $?)" "not masked"
  target=$(readlink "$work/root/etc/systemd/system/default.target" || echo none)
  check "($kind) boots into the graphical target" "$([[ "$target" == none || "$target" == */graphical.target ]]; echo $?)" "$target"
  # A second setup replaces the first; --remove then restores the root.
  # shellcheck disable=SC2086
  setup $args >"$work/setup.log" 2>&1
  check "($kind) a second setup" $? "$(cat "$work/setup.log")"
  check "($kind) the station folder there after a second setup" "$([ -d "$work/root$folder" ]; echo $?)" "no $folder"
  setup --remove >"$work/setup.log" 2>&1
  check "($kind) --remove" $? "$(cat "$work/setup.log")"
  check "($kind) --remove leaves the root as it was" "$([ "$before" = "$(snapshot)" ]; echo $?)" \
    "$(diff <(echo "$before") <(snapshot))"
done

# The staff PIN: given on standard input, kept only as a salted hash the
# exam account's group may read; one that is not 4 to 12 digits refused
# with nothing changed; --pin changes it; --remove deletes it.
make_root
before=$(snapshot)
echo 12ab | QUORVEL_STAFF=$QUORVEL_STAFF setup exam /srv/exam/station quorvel >"$work/setup.log" 2>&1
check "setup with a PIN that is not one is refused" "$([ $? -eq 1 ]; echo $?)" "$(cat "$work/setup.log")"
check "a refused PIN changes nothing" "$([ "$before" = "$(snapshot)" ]; echo $?)" "$(diff <(echo "$before") <(snapshot))"
echo 2468 | QUORVEL_STAFF=$QUORVEL_STAFF setup exam /srv/exam/station quorvel >"$work/setup.log" 2>&1
check "setup with a PIN" $? "$(cat "$work/setup.log")"
pin=$work/root/etc/quorvel/staff-pin
check "the PIN file is a salted hash, mode 640" \
  "$(grep -q '^pbkdf2-sha256 200000 [0-9a-f]\{32\} [0-9a-f]\{64\}$' "$pin" && ! grep -q 2468 "$pin" && [ "$(stat -c %a "$pin")" = 640 ]; echo $?)" \
  "$(stat -c %a "$pin" 2>/dev/null) $(cat "$pin" 2>/dev/null)"
first=$(cat "$pin")
echo 97531 | QUORVEL_STAFF=$QUORVEL_STAFF setup --pin >"$work/setup.log" 2>&1
check "--pin changes the PIN" "$([ $? -eq 0 ] && [ "$(cat "$pin")" != "$first" ]; echo $?)" "$(cat "$work/setup.log")"
setup --remove >/dev/null 2>&1
check "--remove deletes the PIN file" "$([ ! -e "$pin" ] && [ "$before" = "$(snapshot)" ]; echo $?)" "$(diff <(echo "$before") <(snapshot))"

# A station folder that holds answers is kept by --remove.
make_root
setup exam /srv/exam/station quorvel >/dev/null 2>&1
echo answer >"$work/root/srv/exam/station/Answer_x.log"
setup --remove >/dev/null 2>&1
check "--remove keeps a station folder with answers" "$([ -f "$work/root/srv/exam/station/Answer_x.log" ]; echo $?)" "deleted"

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
