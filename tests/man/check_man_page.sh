#!/usr/bin/env bash
# Fails when PROGRAM --help names a command, an option or an exit status that
# its manual page does not: the page is made from the help at build time, and a
# page that loses part of it (a formatting rule of the page maker, a section it
# skips) would leave the fitter without it.
# Usage: check_man_page.sh PROGRAM PAGE
#   GASECU_MAN_DROP=WORD: leave out the page's lines holding WORD first (to prove
#   the check fails then).
# Exit status: 0 the page names everything; 1 it lacks the names printed; 2 the
# check could not be made (no page, the help failed or names no option).
set -euo pipefail
program="${1:?usage: check_man_page.sh PROGRAM PAGE}"
page="${2:?usage: check_man_page.sh PROGRAM PAGE}"
cannot() { echo "check_man_page: $1" >&2; exit 2; }
[ -r "$page" ] || cannot "no page $page"
help="$("$program" --help)" || cannot "$program --help failed"

# The page as text: roff's comments, requests and font changes taken out, its
# escaped characters put back, all on one line.
text="$(grep -v '^\.\\"' "$page" | { if [ -n "${GASECU_MAN_DROP:-}" ]; then grep -vF -- "${GASECU_MAN_DROP//-/\\-}"; else cat; fi; } \
  | sed -e 's/^\.[A-Za-z]\{1,2\}\( \|$\)//' -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\(aq/'"'"'/g' \
        -e 's/\\(dq/"/g' -e 's/\\&//g' -e 's/\\e/\\/g' | tr -s ' \n\t' '   ')" \
  || cannot "no text in $page"
status=0
missing() { echo "check_man_page: $(basename "$page") lacks the $1 '$2' that --help names" >&2; status=1; }

# Options: every word that starts with one or two dashes and a letter. A help
# read as naming none (its layout changed) would pass with nothing checked.
options="$(grep -oE -- '(^|[^[:alnum:]-])--?[[:alpha:]][[:alnum:]-]*' <<<"$help" | sed 's/^[^-]//' | sort -u)" \
  || cannot "$program --help names no option"
while IFS= read -r option; do
  grep -qE -- "(^|[^[:alnum:]-])${option}([^[:alnum:]-]|$)" <<<"$text" || missing option "$option"
done <<<"$options"

# Commands: the lines "  PROGRAM COMMAND ..." of the help.
name="$(basename "$program")"
while IFS= read -r command; do
  grep -qF -- "$name $command" <<<"$text" || missing command "$command"
done < <(sed -n "s/^  $name \([a-z][a-z-]*\).*/\1/p" <<<"$help" | sort -u)

# Exit statuses: the lines "  N  meaning" under "Exit status:", each number with
# the first words of its meaning.
while IFS= read -r exit_line; do
  grep -qF -- "$exit_line" <<<"$text" || missing "exit status" "$exit_line"
done < <(sed -n '/^Exit status:/,/^$/s/^  \([0-9]\+\)  \([^ ]\+\( [^ ]\+\)\{0,3\}\).*/\1 \2/p' <<<"$help")

if [ "$status" -ne 0 ]; then
  exit 1
fi
echo "check_man_page: $(basename "$page") names every command, option and exit status of $name --help"
