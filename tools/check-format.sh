#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the project is not formatted with .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r -d '' file; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- '*.cpp' '*.h')
if ((${#unformatted[@]})); then
  echo "Not formatted with .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "All C++ files are formatted."
