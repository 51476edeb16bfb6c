#!/usr/bin/env bash
# Fails, naming the files, when a C++ source is not laid out as
# .clang-format says. Fix with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted with clang-format:"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "Formatting: all sources follow .clang-format"
