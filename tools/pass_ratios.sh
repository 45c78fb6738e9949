#!/usr/bin/env bash
# The pass benchmarks as ratios to BM_FrameFill, from the medians of one run
# with repetitions in random order (a shared machine moves single figures).
#   tools/pass_ratios.sh [BENCH_BINARY]
set -euo pipefail
bench=${1:-build/bench/terrafix_bench}
"$bench" --benchmark_filter='BM_FrameFill|BM_Pass' --benchmark_repetitions=5 \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.05 2>/dev/null |
  awk '/_median / { name = $1; sub(/_median$/, "", name); t[name] = $2; order[++n] = name }
       END {
         for (i = 1; i <= n; ++i) {
           r = t[order[i]] / t["BM_FrameFill"]
           printf "%-28s %5.2f\n", order[i], r
           if (r > worst) { worst = r; which = order[i] }
         }
         printf "worst: %s at %.2f x BM_FrameFill\n", which, worst
       }'
