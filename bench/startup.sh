#!/usr/bin/env bash
# Start-up time (exec until the window is mapped) and idle resident memory of
# the program against a minimal Qt Widgets window, under Xvfb, N runs each,
# alternating. Prints medians and the ratios, then the time from a key
# release in a field to the three other fields holding their new texts.
#   bench/startup.sh [BUILD_DIR] [N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
[ "$runs" -ge 10 ] || { echo "N must be at least 10" >&2; exit 2; }
for exe in "$build/bench/mapwait" "$build/bench/baseline_window" "$build/app/mensurel" \
  "$build/bench/keyup_bench"; do
  [ -x "$exe" ] || { echo "missing $exe: build with scripts/dev.sh test first" >&2; exit 2; }
done

if [ -z "${MENSUREL_BENCH_IN_XVFB:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
    env MENSUREL_BENCH_IN_XVFB=1 bash "$0" "$build" "$runs"
fi

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

measure() {
  local out
  out=$(mktemp)
  for ((i = 0; i < runs; i++)); do
    "$build/bench/mapwait" 1000 "$build/bench/baseline_window" | sed 's/^/baseline /' >>"$out"
    "$build/bench/mapwait" 1000 "$build/app/mensurel" | sed 's/^/mensurel /' >>"$out"
  done
  cat "$out"
  rm -f "$out"
}

median() {  # column, name
  awk -v c="$1" -v n="$2" '$1 == n { print $c }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

results=$(measure)

bs=$(median 2 baseline <<<"$results"); ms=$(median 2 mensurel <<<"$results")
bm=$(median 3 baseline <<<"$results"); mm=$(median 3 mensurel <<<"$results")
printf 'runs each:            %d\n' "$runs"
printf 'start-up median (ms): baseline %.1f  mensurel %.1f  ratio %.2f\n' "$bs" "$ms" "$(awk -v a="$ms" -v b="$bs" 'BEGIN { print a / b }')"
printf 'idle RSS median (KiB): baseline %d  mensurel %d  ratio %.2f\n' "$bm" "$mm" "$(awk -v a="$mm" -v b="$bm" 'BEGIN { print a / b }')"
"$build/bench/keyup_bench" 5000
