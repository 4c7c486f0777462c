#!/usr/bin/env bash
# The exam room launcher and its setup, with stand-ins for the station and
# the end screen: which ends start the station again and which leave the end
# screen; which arguments the setup refuses and which settings it writes
# (into a folder standing in for /).
set -uo pipefail
kiosk_dir=$(cd "$(dirname "$0")/../../kiosk" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME CONDITION-STATUS DETAILS
  if [ "$2" -eq 0 ]; then echo "PASS: $1"; else echo "FAIL: $1: $3"; failures=$((failures + 1)); fi
}

# A station that ends, run after run, the ways its list says: a number is an
# exit status, a signal name a death by that signal.
cat >"$work/station" <<'STATION'
#!/usr/bin/env bash
n=$(($(cat "$WORK/runs" 2>/dev/null || echo 0) + 1))
echo "$n" >"$WORK/runs"
echo "$QUORVEL_KIOSK $QT_QPA_PLATFORM $PWD" >"$WORK/env"
end=$(echo $ENDS | cut -d' ' -f"$n")
case "$end" in
  KILL | SEGV | ABRT) kill -"$end" $$ ;;
  *) exit "${end:-0}" ;;
esac
STATION
printf '#!/bin/sh\necho shown >"$WORK/ended.shown"\n' >"$work/ended"
chmod +x "$work/station" "$work/ended"

# ends | runs | end screen shown
launcher_table=(
  "0|1|yes"
  "KILL 0|2|yes"
  "SEGV 0|2|yes"
)
for row in "${launcher_table[@]}"; do
  IFS='|' read -r ends runs shown <<<"$row"
  rm -f "$work/runs" "$work/ended.shown" "$work/env"
  mkdir -p "$work/folder"
  (cd "$work/folder" && WORK=$work ENDS=$ends DISPLAY=:0 QUORVEL_KIOSK_ENDED="$work/ended" \
    timeout 30 "$kiosk_dir/quorvel-kiosk" "$work/station" >"$work/log" 2>&1)
  got_runs=$(cat "$work/runs" 2>/dev/null || echo 0)
  got_shown=no; [ -f "$work/ended.shown" ] && got_shown=yes
  check "ends '$ends': $runs runs" "$([ "$got_runs" = "$runs" ]; echo $?)" "$got_runs runs; $(cat "$work/log")"
  check "ends '$ends': end screen $shown" "$([ "$got_shown" = "$shown" ]; echo $?)" "$(cat "$work/log")"
  check "ends '$ends': kiosk mode on X11 in the station folder" \
    "$([ "$(cat "$work/env")" = "1 xcb $work/folder" ]; echo $?)" "$(cat "$work/env")"
done

# arguments | environment | exit status
refusals=(
  "||2"
  "quorvel quorvel-flat||2"
  "no-such-program-here||2"
  "$work/station|DISPLAY=|2"
)
for row in "${refusals[@]}"; do
  IFS='|' read -r args environment status <<<"$row"
  # shellcheck disable=SC2086
  env DISPLAY=:0 $environment "$kiosk_dir/quorvel-kiosk" $args >/dev/null 2>&1
  got=$?
  check "quorvel-kiosk $args ($environment) exits $status" "$([ $got -eq "$status" ]; echo $?)" "exit $got"
done

# account folder program | exit status
setup_table=(
  "exam /srv/exam/station quorvel|0"
  "exam /home/exam/station quorvel-flat|0"
  "root /srv/station quorvel|1"
  "Exam! /srv/station quorvel|1"
  "exam station quorvel|1"
  "exam /usr/bin quorvel|1"
  "exam / quorvel|1"
  "exam /home quorvel|1"
  "exam /etc/../usr/lib quorvel|1"
  "exam /srv/a\"b quorvel|1"
  "exam /srv/station bash|1"
  "exam /srv/station|2"
)
for row in "${setup_table[@]}"; do
  IFS='|' read -r args status <<<"$row"
  root=$work/root
  rm -rf "$root"
  # shellcheck disable=SC2086
  QUORVEL_KIOSK_ROOT=$root "$kiosk_dir/quorvel-kiosk-setup" $args >/dev/null 2>&1
  got=$?
  check "setup $args exits $status" "$([ $got -eq "$status" ]; echo $?)" "exit $got"
  if [ "$status" -ne 0 ]; then
    check "setup $args writes nothing" "$([ ! -e "$root" ]; echo $?)" "$(find "$root" 2>/dev/null)"
  fi
done

# The settings of a good setup, and --remove.
root=$work/root
rm -rf "$root"
QUORVEL_KIOSK_ROOT=$root "$kiosk_dir/quorvel-kiosk-setup" exam /srv/exam/station quorvel >/dev/null
settings=(
  "/etc/lightdm/lightdm.conf.d/50-quorvel-kiosk.conf|autologin-user=exam"
  "/etc/lightdm/lightdm.conf.d/50-quorvel-kiosk.conf|autologin-session=quorvel-kiosk"
  "/usr/share/xsessions/quorvel-kiosk.desktop|Exec=/usr/libexec/quorvel/quorvel-session"
  "/etc/quorvel/kiosk.conf|STATION_FOLDER=/srv/exam/station"
  "/etc/quorvel/kiosk.conf|PROGRAM=quorvel"
  "/etc/X11/xorg.conf.d/50-quorvel-kiosk.conf|Option \"DontVTSwitch\" \"true\""
  "/etc/X11/xorg.conf.d/50-quorvel-kiosk.conf|Option \"DontZap\" \"true\""
  "/etc/systemd/logind.conf.d/50-quorvel-kiosk.conf|HandlePowerKey=ignore"
  "/etc/sysctl.d/50-quorvel-kiosk.conf|kernel.sysrq = 0"
)
for row in "${settings[@]}"; do
  IFS='|' read -r file line <<<"$row"
  check "$file holds $line" "$(sed 's/^ *//' "$root$file" 2>/dev/null | grep -qxF -- "$line"; echo $?)" "missing"
done
QUORVEL_KIOSK_ROOT=$root "$kiosk_dir/quorvel-kiosk-setup" --remove >/dev/null
check "--remove leaves no setting" "$([ -z "$(find "$root" -type f)" ]; echo $?)" "$(find "$root" -type f)"

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
