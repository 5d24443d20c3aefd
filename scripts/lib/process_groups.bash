# Sourced by the bash scripts: what a script starts ends with it, on every
# path (success, failure, Ctrl-C, SIGTERM, SIGHUP).
#   run COMMAND...        runs it to its end; its status is run's
#   start COMMAND...      starts it beside the script; its pid in $started_pid
#   remove_at_exit PATH   removes PATH (a temporary folder) as the script ends
# Each command runs in a session of its own (setsid execs it: a background
# job is never a process group leader). As the script ends, the groups of
# its jobs still running are ended as a whole (SIGTERM) and waited for: a
# build's compilers and a test's X server go with them. Ctrl-C reaches the
# script alone, which ends the rest.
removed_at_exit=()
end_all() {
  local pid
  for pid in $(jobs -rp); do
    kill -TERM -- "-$pid" 2>/dev/null || true
  done
  wait || true
  for pid in "${removed_at_exit[@]}"; do
    rm -rf -- "$pid"
  done
}
trap end_all EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

start() {
  setsid "$@" &
  started_pid=$!
}

run() {
  local status=0
  start "$@"
  wait "$started_pid" || status=$?
  return "$status"
}

remove_at_exit() {
  removed_at_exit+=("$1")
}
