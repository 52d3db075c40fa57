#!/bin/sh
# Starts the installed Quillmarsh from a program folder of the user's own.
# The program keeps its options, logins and language lists in its own folder,
# which the installation cannot let every user write; so the program and its
# files are laid out once per user in $XDG_DATA_HOME/quillmarsh (by default
# ~/.local/share/quillmarsh): the executables are copied (the program finds
# its folder through its own executable), the other files are linked.
set -eu
installed=$(CDPATH= cd -- "$(dirname -- "$(readlink -f -- "$0")")/../lib/quillmarsh" && pwd)
folder=${XDG_DATA_HOME:-$HOME/.local/share}/quillmarsh
mkdir -p "$folder"
cd "$installed"
find . -type d | while IFS= read -r sub; do mkdir -p "$folder/$sub"; done
find . -type f | while IFS= read -r file; do
  if [ -x "$file" ]; then
    # A copy is put in place by a rename, so a running copy is never overwritten.
    if ! cmp -s "$file" "$folder/$file"; then
      cp -p "$file" "$folder/$file.new" && mv -f "$folder/$file.new" "$folder/$file"
    fi
  else
    ln -sfn "$installed/$file" "$folder/$file"
  fi
done
cd "$folder"
exec ./quillmarsh "$@"
