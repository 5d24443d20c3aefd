# Sourced first by the bash scripts, with their arguments: -h or --help
# prints the script's opening comment (what it does and how it is called)
# and exits 0, before anything is checked, built or started. Bash alone, so
# that it works where setup has yet to find the rest.
case "${1:-}" in
  -h | --help)
    while IFS= read -r line; do
      [[ $line == '#!'* ]] && continue
      [[ $line == '#'* ]] || break
      line=${line#\#}
      echo "${line# }"
    done <"$0"
    exit 0
    ;;
esac
