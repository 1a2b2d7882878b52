#!/usr/bin/env bash
# Writes the README's command-line reference from the build's own --help texts, between the markers
# "<!-- cli-reference:begin -->" and "<!-- cli-reference:end -->".
#   bash scripts/cli-reference.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/bin/korvo2k-cli"
[ -x "$cli" ] || cmake --build "$build" --target korvo2k-cli
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
ref=$(mktemp)
{
  echo '<!-- cli-reference:begin -->'
  echo '```'
  "$cli" --folder "$folder" --help
  echo '```'
  # The commands are the lines of the help's subcommand list.
  for command in $("$cli" --folder "$folder" --help | sed -n '/^Subcommands:/,/^$/p' | awk '/^  [a-z]/ {print $1}'); do
    echo
    echo "### \`korvo2k-cli $command\`"
    echo
    echo '```'
    "$cli" --folder "$folder" "$command" --help
    echo '```'
    for sub in $("$cli" --folder "$folder" "$command" --help | sed -n '/^Subcommands:/,/^$/p' | awk '/^  [a-z]/ {print $1}'); do
      echo
      echo "#### \`korvo2k-cli $command $sub\`"
      echo
      echo '```'
      "$cli" --folder "$folder" "$command" "$sub" --help
      echo '```'
    done
  done
  echo '<!-- cli-reference:end -->'
} >"$ref"
python3 - "$ref" <<'PY'
import re, sys
ref = open(sys.argv[1]).read()
readme = open("README.md").read()
pattern = re.compile(r"<!-- cli-reference:begin -->.*?<!-- cli-reference:end -->\n", re.S)
if not pattern.search(readme):
    sys.exit("README.md has no cli-reference markers")
open("README.md", "w").write(pattern.sub(lambda m: ref, readme, count=1))
PY
rm -f "$ref"
echo "README.md: command-line reference rewritten"
