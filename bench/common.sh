# Sourced by the benchmark scripts: what each of them needs before it measures.

# The absolute path of a program of a build; the script stops when it has not been built.
built() {
  local path
  path=$(realpath -m "$1")
  [ -x "$path" ] || { echo "build $path first" >&2; exit 2; }
  echo "$path"
}

# Stops the script when hyperfine is missing.
need_hyperfine() {
  command -v hyperfine >/dev/null || { echo "hyperfine is needed (apt-get install hyperfine)" >&2; exit 2; }
}

# A folder for the run, removed when the script ends, as $work.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
