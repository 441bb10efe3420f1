#!/bin/sh
# Runs bench_peers once per setting and repetition and prints one table row per run, so that
# cell geometries and deflate settings can be compared on the same desktop:
#
#   bench/peers/sweep.sh BENCH_PEERS REPEATS SETTING...
#
# A SETTING is CELL or CELL/TUNING: CELL as FARVANE_PEERS_CELL takes it (WxH, W=-1 for a
# quarter of the screen width, "-" for the fresh installation's FARV.INI), TUNING as
# FARVANE_DEFLATE_TUNING takes it (level,memoryLevel,windowBits,strategy,deeperSearch).
# FARVANE_PEERS_SCREEN=WxH in the environment runs every setting on another screen size.
# Example:
#   bench/peers/sweep.sh build/default/bench/peers/bench_peers 2 -1x8 -1x4 128x8/9,9,15,rle,1
# Columns: setting, run, then ours, x11vnc, x0vncserver and ours/best for the first whole
# picture and for the typing session, and the time of one of our passes while typing.
set -u
if [ $# -lt 3 ]; then
    echo "usage: $0 BENCH_PEERS REPEATS SETTING..." >&2
    exit 2
fi
bench=$1
repeats=$2
shift 2

printf '%-28s %3s %8s %8s %8s %6s   %8s %8s %8s %6s %8s\n' setting run ours x11vnc x0vnc \
    ratio ours x11vnc x0vnc ratio "ms/pass"
for setting in "$@"; do
    cell=${setting%%/*}
    tuning=
    case $setting in */*) tuning=${setting#*/} ;; esac
    run=1
    while [ "$run" -le "$repeats" ]; do
        out=$(
            [ "$cell" != "-" ] && export FARVANE_PEERS_CELL="$cell"
            [ -n "$tuning" ] && export FARVANE_DEFLATE_TUNING="$tuning"
            "$bench" --benchmark_filter=NONE 2>&1
        )
        # The summary: "ours F T", "x11vnc F T", "x0vncserver F T".
        echo "$out" | awk -v setting="$setting" -v run="$run" '
            $1 == "ours" && NF == 3 { of = $2; ot = $3 }
            $1 == "x11vnc" && NF == 3 { xf = $2; xt = $3 }
            $1 == "x0vncserver" && NF == 3 { tf = $2; tt = $3 }
            /^our passes over the screen:/ { pass = $6 }
            END {
                if (of == "" || xf == "" || tf == "") {
                    printf "%-28s %3s   no result\n", setting, run
                    exit
                }
                bf = xf < tf ? xf : tf
                bt = xt < tt ? xt : tt
                printf "%-28s %3s %8d %8d %8d %6.3f   %8d %8d %8d %6.3f %8s\n", setting, run,
                    of, xf, tf, of / bf, ot, xt, tt, ot / bt, pass
            }'
        run=$((run + 1))
    done
done
