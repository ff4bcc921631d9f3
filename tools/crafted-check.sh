#!/bin/sh
# Runs every crafted level (make-level crafted) through every tessarin2-cli subcommand and through
# the editor and the viewer window opening it, each under a memory limit and a timeout, and prints one line per run:
# peak resident memory, time, and whether both keep to the goal of 64 bytes per file byte plus
# 256 MB and 2 seconds per MB of file (at least 2 s). Exit status 1 when any run breaks it.
#
#   tools/crafted-check.sh [BUILD_DIR] [--only CLASS] [--no-editor] [--scale S]
set -u
BUILD=build
ONLY=
EDITOR=1
SCALE=1
while [ $# -gt 0 ]; do
    case "$1" in
        --only) ONLY=$2; shift 2 ;;
        --no-editor) EDITOR=0; shift ;;
        --scale) SCALE=$2; shift 2 ;;
        *) BUILD=$1; shift ;;
    esac
done
BIN=$BUILD/bin
WORK=$(mktemp -d /tmp/crafted-check.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/levels" "$WORK/out"
export TESSARIN_NO_REGISTER=1 XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"

if [ -n "$ONLY" ]; then
    "$BIN/make-level" crafted "$WORK/levels" --scale "$SCALE" --only "$ONLY" >/dev/null || exit 1
else
    "$BIN/make-level" crafted "$WORK/levels" --scale "$SCALE" >/dev/null || exit 1
fi
# The editor runs on a virtual display of its own, so that its 3D preview is built and drawn.
if [ "$EDITOR" = 1 ] && command -v Xvfb >/dev/null; then
    Xvfb :77 -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
    sleep 1
    export DISPLAY=:77 QT_QPA_PLATFORM=xcb
fi
printf '10\n100 30\n200\n' > "$WORK/keys.txt"

# run NAME FILE COMMAND...: one measured run under `ulimit -v` and `timeout`.
failures=0
run() {
    name=$1 file=$2
    shift 2
    size=$(stat -c %s "$file")
    limit_kb=$(( (64 * size) / 1024 + 262144 ))
    # 2 s per MB, at least 2 s; the run is stopped at four times that.
    budget_ms=$(( size * 2000 / 1048576 ))
    [ "$budget_ms" -lt 2000 ] && budget_ms=2000
    stop_s=$(( budget_ms * 4 / 1000 + 1 ))
    rm -rf "$WORK/out"/*
    start=$(date +%s%N)
    ( ulimit -v $(( limit_kb + ${VSLACK_KB:-0} )); exec /usr/bin/time -f '%M' -o "$WORK/rss" \
        timeout -s KILL "$stop_s" "$@" ) >/dev/null 2>"$WORK/err"
    code=$?
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    rss_kb=$(tail -n 1 "$WORK/rss" 2>/dev/null | tr -dc 0-9)
    [ -z "$rss_kb" ] && rss_kb=0
    msg=$(grep -v '^Command terminated' "$WORK/err" | grep -v '^QStandardPaths' | head -n 1 | cut -c 1-110)
    verdict=ok
    if [ "$code" -gt 1 ]; then verdict="EXIT $code"
    elif [ "$ms" -gt "$budget_ms" ]; then verdict=SLOW
    elif [ "$rss_kb" -gt "$limit_kb" ]; then verdict=MEMORY
    elif printf '%s' "$msg" | grep -qi 'memory\|bad_alloc'; then verdict=OOM
    fi
    [ "$verdict" != ok ] && failures=$((failures + 1))
    printf '%-26s %9d %-16s %6d %6d %7d %6d  %-6s %s\n' "$(basename "$file")" "$size" "$name" "$code" "$ms" \
        $((rss_kb / 1024)) $((limit_kb / 1024)) "$verdict" "$msg"
}

printf '%-26s %9s %-16s %6s %6s %7s %6s  %-6s %s\n' file bytes command exit ms peakMB limMB result message
for f in "$WORK"/levels/*; do
    o=$WORK/out
    run info "$f" "$BIN/tessarin2-cli" info "$f"
    run tiles "$f" "$BIN/tessarin2-cli" tiles "$f"
    run triggers "$f" "$BIN/tessarin2-cli" triggers "$f" 0
    run sector "$f" "$BIN/tessarin2-cli" sector "$f" 0 1 1
    run polys "$f" "$BIN/tessarin2-cli" polys "$f" 0 --selected 1 1
    run statics "$f" "$BIN/tessarin2-cli" statics "$f"
    run room-at "$f" "$BIN/tessarin2-cli" room-at "$f" 1.5 0.5 1.5
    run export-map "$f" "$BIN/tessarin2-cli" export-map "$f" 0 "$o/map.png" --scale 8
    run export-textures "$f" "$BIN/tessarin2-cli" export-textures "$f" "$o"
    case "$f" in
        *.tr2) run resave "$f" "$BIN/tessarin2-cli" resave "$f" "$o/resaved.tr2"
               run record "$f" "$BIN/tessarin2-cli" record "$f" "$o/demo.tr2" --keys "$WORK/keys.txt" ;;
        *.tr4) run convert-tr3 "$f" "$BIN/tessarin2-cli" convert "$f" --to tr3 -o "$o/conv.tr2"
               run convert-tr2 "$f" "$BIN/tessarin2-cli" convert "$f" --to tr2 -o "$o/conv.tr2" ;;
    esac
    if [ "$EDITOR" = 1 ] && [ -x "$BIN/tessarin_app_tests" ]; then
        # Qt maps its libraries and fonts: the editor's address space starts about 1 GB up.
        VSLACK_KB=1048576 run editor "$f" "$BIN/tessarin_app_tests" --open "$f"
        [ -n "${DISPLAY:-}" ] && VSLACK_KB=1048576 run viewer "$f" "$BIN/tessarin_app_tests" --view "$f"
    fi
done
echo "$failures runs broke the goal"
[ "$failures" -eq 0 ]
