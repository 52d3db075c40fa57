#!/usr/bin/env bash
# Installs the npm package mdb-reader 3.2.0 into FOLDER (once; concurrent
# callers wait for the first). The writer tests read their files back with it.
# Usage: install_mdb_reader.sh FOLDER
set -euo pipefail
folder=$1
mkdir -p "$folder"
exec 9>"$folder/.install.lock"
flock 9
if [ -f "$folder/node_modules/mdb-reader/package.json" ] &&
   grep -q '"version": "3.2.0"' "$folder/node_modules/mdb-reader/package.json"; then
  exit 0
fi
npm install --no-audit --no-fund --no-save --prefix "$folder" mdb-reader@3.2.0 >"$folder/install.log" 2>&1 ||
  { cat "$folder/install.log" >&2; exit 1; }
