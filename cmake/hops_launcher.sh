#!/bin/sh
# Starts the installed game from the folder that holds its pictures, IMG/,
# wherever it is called from.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../lib/hops" || exit 1
exec ./hops "$@"
