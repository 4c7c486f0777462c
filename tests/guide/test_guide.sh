#!/usr/bin/env bash
# The organiser's guide and its pictures agree: every picture the guide
# shows is one that tools/screenshots makes and is there in docs/guide; every
# picture the script makes is shown; the README names the command and the guide.
set -uo pipefail
ROOT=${1:?the source folder}
GUIDE="$ROOT/docs/organiser-guide.md"
failures=0

made=$("$ROOT/tools/screenshots" --list | sort)
shown=$(grep -o '](guide/[^)]*\.png)' "$GUIDE" | sed 's|](guide/||; s|\.png)||' | sort -u)
present=$(cd "$ROOT/docs/guide" && ls -1 -- *.png 2>/dev/null | sed 's|\.png$||' | sort)

# Every text the guide quotes from the station («…»; a "…" inside stands for
# what varies) is one the station's sources hold, so that the words stay
# true when a screen changes. One or two letters ("Да", "V", "OK") are not looked up.
SOURCES=("$ROOT"/resources "$ROOT"/stages "$ROOT"/framework "$ROOT"/window "$ROOT"/toolkit "$ROOT"/recorder "$ROOT"/audio "$ROOT"/kiosk "$ROOT"/check)
unquoted() {
  grep -o '«[^»]*»' "$GUIDE" | sed 's/^«//; s/»$//' | sort -u | while IFS= read -r quote; do
    while IFS= read -r piece; do
      piece=$(echo "$piece" | sed 's/^ *//; s/ *$//')
      [ "${#piece}" -le 2 ] && continue
      grep -rqF -- "$piece" "${SOURCES[@]}" || echo "«$piece»"
    done < <(echo "$quote" | sed 's/…/\n/g')
  done
}

# what is checked | the names that break it
checks=(
  "shown in the guide, not made by the script|$(comm -23 <(echo "$shown") <(echo "$made"))"
  "made by the script, not shown in the guide|$(comm -13 <(echo "$shown") <(echo "$made"))"
  "made by the script, missing from docs/guide|$(comm -13 <(echo "$present") <(echo "$made"))"
  "in docs/guide, not made by the script|$(comm -23 <(echo "$present") <(echo "$made"))"
  "not a PNG picture|$(for p in $present; do head -c 8 "$ROOT/docs/guide/$p.png" | od -An -tx1 | tr -d ' \n' | grep -q '^89504e470d0a1a0a$' || echo "$p"; done)"
  "quoted in the guide, not in the station|$(unquoted)"
  "the README does not name|$(grep -q 'tools/screenshots' "$ROOT/README.md" || echo tools/screenshots; grep -q '(docs/organiser-guide.md)' "$ROOT/README.md" || echo docs/organiser-guide.md)"
)
for check in "${checks[@]}"; do
  what=${check%%|*}
  names=${check#*|}
  if [ -n "$names" ]; then
    echo "FAIL: $what: $(echo $names)"
    failures=$((failures + 1))
  fi
done
[ -n "$made" ] || { echo "FAIL: tools/screenshots --list names no picture"; failures=$((failures + 1)); }
[ "$failures" = 0 ] && echo "the guide shows the $(echo "$made" | wc -l) pictures the script makes"
exit "$failures"
