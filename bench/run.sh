#!/bin/sh
# The benchmark: how close a batch run comes to the solver's own cost, and how that cost
# grows with the run. Every figure is a ratio or a slope taken within this one run.
# Usage: bench/run.sh <build folder>   (./lumbrix.sh bench builds first and calls this)
set -eu
build=$(cd "${1:-build}" && pwd)
lumbrix="$build/lumbrix"
tools="$build/bench"
work=$(mktemp -d "${TMPDIR:-/tmp}/lumbrix-bench-XXXXXX")
# Some example models write files of their own into the working folder.
cd "$work"
trap 'rm -rf "$work"' EXIT INT TERM

measure() { # input-file command... -> "seconds rss_kib"
    input=$1
    shift
    "$tools/lumbrix_bench_measure" "$input" "$work/last.out" "$@"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
session() { # model folder, output folder -> a quiet opt session on stdin
    printf 'verbose\nn\nopt\n%s\n%s\nexit\n' "$1" "$2" > "$work/session"
}
models() { # count -> folder
    mkdir -p "$work/m$1" "$work/out$1"
    [ -e "$work/m$1/m000000.lp" ] || "$tools/lumbrix_bench_models" "$work/m$1" "$1"
}

echo "Lumbrix benchmark ($(nproc) cores, $(date -u +%Y-%m-%d))"

# Overhead per model: opt against the engine's own calls on the same files, alternated.
models 1000
session "$work/m1000" "$work/out1000"
: > "$work/opt.t"
: > "$work/base.t"
for round in 1 2 3 4 5 6 7 8 9; do
    measure /dev/null "$tools/lumbrix_bench_baseline" "$work/m1000" | cut -d' ' -f1 >> "$work/base.t"
    measure "$work/session" "$lumbrix" | cut -d' ' -f1 >> "$work/opt.t"
done
base=$(median < "$work/base.t")
opt=$(median < "$work/opt.t")
grep -c "SOL OTIMA" "$work/out1000/sol_stat.csv" > "$work/rows"
echo "overhead   N=1000: opt $opt s, engine alone $base s, ratio $(ratio "$opt" "$base") ($(cat "$work/rows") models optimal)"

# Overhead per model with CBC: opt --solver cbc against CBC's own calls on the same files
# (read by Lumbrix's reader and handed over as rows and columns), alternated; and against the
# same calls using memory as a solver process does, which leaves what the run itself adds.
: > "$work/cbc.t"
: > "$work/cbcbase.t"
: > "$work/cbcmem.t"
for round in 1 2 3 4 5 6 7 8 9; do
    measure /dev/null "$tools/lumbrix_bench_cbc_baseline" "$work/m1000" | cut -d' ' -f1 >> "$work/cbcbase.t"
    measure /dev/null "$lumbrix" opt --solver cbc --quiet "$work/m1000" "$work/out1000" | cut -d' ' -f1 >> "$work/cbc.t"
    measure /dev/null "$tools/lumbrix_bench_cbc_baseline" "$work/m1000" --model-memory | cut -d' ' -f1 >> "$work/cbcmem.t"
done
cbcbase=$(median < "$work/cbcbase.t")
cbc=$(median < "$work/cbc.t")
cbcmem=$(median < "$work/cbcmem.t")
echo "cbc        N=1000: opt --solver cbc $cbc s, CBC alone $cbcbase s, ratio $(ratio "$cbc" "$cbcbase")" \
    "($(grep -c "SOL OTIMA" "$work/out1000/sol_stat.csv") models optimal);" \
    "CBC alone using memory as a solver process does $cbcmem s, ratio $(ratio "$cbc" "$cbcmem")"

# The check of the solutions on the same models: the engine's own calls alone, and with what
# the solver process adds after each solve (the best solution through SCIP's calls, held
# against the model), alternated. The difference is what the check adds to the opt run above,
# so the overhead figure without the check would have been (opt - difference) / engine alone.
: > "$work/checked.t"
: > "$work/unchecked.t"
for round in 1 2 3 4 5 6 7 8 9; do
    measure /dev/null "$tools/lumbrix_bench_baseline" "$work/m1000" | cut -d' ' -f1 >> "$work/unchecked.t"
    measure /dev/null "$tools/lumbrix_bench_baseline" "$work/m1000" --check | cut -d' ' -f1 >> "$work/checked.t"
done
checked=$(median < "$work/checked.t")
unchecked=$(median < "$work/unchecked.t")
echo "check      N=1000: engine and check $checked s, engine alone $unchecked s;" \
    "overhead figure $(awk -v o="$opt" -v c="$checked" -v u="$unchecked" -v b="$base" \
        'BEGIN { d = c - u; if (d < 0) d = 0; printf "%.3f with the check, %.3f without, growth %.1f%%", o / b, (o - d) / b, 100 * d / (o - d) }')"

# The check of a model of 1,000,000 non-zeros against reading it.
"$tools/lumbrix_bench_check_speed" "$work/check.lp"

# The command line with a check per model (a .solu line for every model, so that each model
# file's direction is read) against the shell's quiet session, alternated.
ls "$work/m1000" | sed -n 's/^\(.*\)\.lp$/=best= \1 0/p' > "$work/known.solu"
: > "$work/cli.t"
: > "$work/shell.t"
for round in 1 2 3 4 5 6 7 8 9; do
    measure "$work/session" "$lumbrix" | cut -d' ' -f1 >> "$work/shell.t"
    measure /dev/null "$lumbrix" opt "$work/m1000" "$work/out1000" --quiet --solu "$work/known.solu" \
        | cut -d' ' -f1 >> "$work/cli.t"
done
cli=$(median < "$work/cli.t")
shell=$(median < "$work/shell.t")
echo "command line N=1000 with --solu: $cli s, shell $shell s, ratio $(ratio "$cli" "$shell")"

# Reading: a model of 200,000 non-zeros through the SCIP interface against glp_read_lp.
"$tools/lumbrix_bench_read_speed" "$work/read.lp"
# The same model of 1,000,000 non-zeros as LP, MPS and gzipped MPS through the SCIP interface.
"$tools/lumbrix_bench_mps_read_speed" "$work"

# Shards: 1,000 models as three shards and their merge against one whole command-line run,
# alternated; then a resumed run that finds every row there, which only reads them back.
: > "$work/whole.t"
: > "$work/shards.t"
for round in 1 2 3 4 5; do
    measure /dev/null "$lumbrix" opt "$work/m1000" "$work/out1000" --quiet | cut -d' ' -f1 >> "$work/whole.t"
    rm -rf "$work/parts"
    mkdir "$work/parts"
    for k in 1 2 3; do
        measure /dev/null "$lumbrix" opt "$work/m1000" "$work/parts" --quiet --shard "$k/3" | cut -d' ' -f1
    done > "$work/parts.t"
    measure /dev/null "$lumbrix" merge "$work/parts" | cut -d' ' -f1 >> "$work/parts.t"
    awk '{ s += $1 } END { print s }' "$work/parts.t" >> "$work/shards.t"
done
whole=$(median < "$work/whole.t")
shards=$(median < "$work/shards.t")
echo "shards     N=1000: 3 shards and merge $shards s, whole run $whole s, ratio $(ratio "$shards" "$whole")"
: > "$work/resume.t"
for round in 1 2 3 4 5; do
    measure /dev/null "$lumbrix" opt "$work/m1000" "$work/out1000" --quiet --resume | cut -d' ' -f1 >> "$work/resume.t"
done
resume=$(median < "$work/resume.t")
echo "resume     N=1000, every row there: $resume s, $(awk -v t="$resume" 'BEGIN { printf "%.2f", t / 1000 * 1e6 }') us/model"

# Growth and memory: seconds per model and peak memory at 1,000 and 20,000 models.
models 20000
for n in 1000 20000; do
    session "$work/m$n" "$work/out$n"
    : > "$work/t$n"
    for round in 1 2 3; do
        measure "$work/session" "$lumbrix" >> "$work/t$n"
    done
    eval "time$n=\$(cut -d' ' -f1 < \"\$work/t\$n\" | median)"
    eval "rss$n=\$(cut -d' ' -f2 < \"\$work/t\$n\" | median)"
done
per1000=$(awk -v t="$time1000" 'BEGIN { printf "%.2f", t / 1000 * 1e6 }')
per20000=$(awk -v t="$time20000" 'BEGIN { printf "%.2f", t / 20000 * 1e6 }')
echo "growth     us/model: N=1000 $per1000, N=20000 $per20000, ratio $(ratio "$per20000" "$per1000")"
echo "memory     peak RSS: N=1000 ${rss1000} KiB, N=20000 ${rss20000} KiB, difference $((rss20000 - rss1000)) KiB"
echo "           results file at N=20000: $(wc -c < "$work/out20000/sol_stat.csv") bytes"

# Conversion: mod_lp over GLPK's example models against the same GLPK calls.
examples=/usr/share/doc/glpk-utils/examples
if [ -d "$examples" ]; then
    mkdir -p "$work/mods"
    cp "$examples"/*.mod "$examples"/*.dat "$work/mods/"
    printf 'mod_lp\n%s\nexit\n' "$work/mods" > "$work/convert"
    : > "$work/c.t"
    : > "$work/cb.t"
    for round in 1 2 3 4 5; do
        measure /dev/null "$tools/lumbrix_bench_convert_baseline" "$work/mods" | cut -d' ' -f1 >> "$work/cb.t"
        measure "$work/convert" "$lumbrix" | cut -d' ' -f1 >> "$work/c.t"
    done
    convert=$(median < "$work/c.t")
    cbase=$(median < "$work/cb.t")
    echo "conversion $(ls "$work/mods"/*.lp | wc -l) LP files: mod_lp $convert s, GLPK alone $cbase s, ratio $(ratio "$convert" "$cbase")"
else
    echo "conversion skipped: $examples is missing (Debian package glpk-utils)"
fi

# Listing: opt over folders of entries that are not models.
for n in 50000 100000; do
    mkdir -p "$work/e$n"
    (cd "$work/e$n" && seq -f "entrada%06g.txt" 1 "$n" | xargs touch)
    session "$work/e$n" "$work/out1000"
    : > "$work/l$n"
    for round in 1 2 3 4 5; do
        measure "$work/session" "$lumbrix" | cut -d' ' -f1 >> "$work/l$n"
    done
    eval "list$n=\$(median < \"\$work/l\$n\")"
done
echo "listing    50,000 entries $list50000 s, 100,000 entries $list100000 s, ratio $(ratio "$list100000" "$list50000")"

# Jobs: 200 models that each take 50 ms (their time limit) with one and with two jobs.
mkdir -p "$work/h" "$work/outh"
"$tools/lumbrix_bench_hard_models" "$work/h" 200
for jobs in 1 2; do
    printf 'verbose\nn\ntime_limit\n0,05\njobs\n%s\nopt\n%s\n%s\nexit\n' "$jobs" "$work/h" "$work/outh" > "$work/jobs"
    eval "jobs$jobs=\$(measure \"\$work/jobs\" \"\$lumbrix\" | cut -d' ' -f1)"
done
echo "jobs       200 models of 50 ms: 1 job $jobs1 s, 2 jobs $jobs2 s, models per second x$(ratio "$jobs1" "$jobs2")"

# Comparison: five runs of 10,000 models each, the page and the merged table written too,
# against five runs of 1,000.
for n in 1000 10000; do
    "$tools/lumbrix_bench_runs" "$work/cmp$n" 5 "$n"
    : > "$work/cmp$n.t"
    for round in 1 2 3 4 5; do
        measure /dev/null "$lumbrix" compare "$work/cmp$n/run1" "$work/cmp$n/run2" "$work/cmp$n/run3" \
            "$work/cmp$n/run4" "$work/cmp$n/run5" --html "$work/cmp$n.html" --csv "$work/cmp$n.csv" \
            | cut -d' ' -f1 >> "$work/cmp$n.t"
    done
    eval "compare$n=\$(median < \"\$work/cmp\$n.t\")"
done
echo "compare    5 runs of 10,000 models $compare10000 s (page $(wc -c < "$work/cmp10000.html") bytes)," \
    "of 1,000 $compare1000 s, ratio $(ratio "$compare10000" "$compare1000")"
