#!/bin/sh
# save-decks.sh SOFFICE PROFILE FORMAT FOLDER SOURCE...
# Has LibreOffice save each flat-XML deck SOURCE as FOLDER/NAME.FORMAT, with
# a user profile of its own that is removed afterwards. The office chats on
# its output even when all goes well, and reports success even when it wrote
# nothing: the decks are checked instead.
set -u
soffice=$1 profile=$2 format=$3 folder=$4
shift 4
mkdir -p "$folder"
for source; do
    rm -f "$folder/$(basename "$source" .fodp).$format"
done
"$soffice" --headless --norestore "-env:UserInstallation=file://$profile" \
    --convert-to "$format" --outdir "$folder" "$@" >/dev/null 2>&1
rm -rf "$profile"
for source; do
    deck="$folder/$(basename "$source" .fodp).$format"
    [ -s "$deck" ] || { echo "LibreOffice did not save $deck" >&2; exit 1; }
done
