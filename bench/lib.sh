# Shared by the measuring scripts (sourced): a scratch folder in $work and the list $pids of
# background processes, both cleaned up however the script ends.
# Usage: bench_workspace NAME
bench_workspace() {
  work=$(mktemp -d "/tmp/orbolan-$1.XXXXXX")
  pids=()
  trap bench_cleanup EXIT
}
bench_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
