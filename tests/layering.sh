#!/bin/bash
# Includes follow the layers. Headers of another folder are named from src/
# ("device/LineOwner.h"); a bare name must be a file of the including file's own folder.
# Each row below: a folder of src/ and the folders right beneath it that it uses (the
# same as its library's target_link_libraries); what those use, it may use too.
# Prints every offending include and fails when there is one.
#   usage: layering.sh SRC_DIR [TESTS_DIR...]
set -u
src="$1"
shift
declare -A uses=(
  [hbds]=""
  [app]="hbds"
  [dataformat]=""
  [device]="app hbds"
  [model]="device"
  [config]="model"
  [regCtrl/rules]="config"
  [image]="config"
  [barcode]="config"
  [cmdcenter]="model"
  [batchdata]="cmdcenter"
  [dlicense]="app"
  [update]="app"
  [update/updater]="update"
  [fwpack]="hbds app"
  [simulator]="hbds dataformat"
  [demo]="device simulator"
  [cli]="demo barcode config dataformat"
  [UI]="device dataformat"
  [UI/gui]="UI"
  [config/gui]="UI/gui barcode"
  [device/gui]="config/gui"
  [image/gui]="image config/gui"
  [barcode/gui]="barcode config/gui"
  [dataformat/gui]="dataformat model UI/gui"
  [dlicense/gui]="dlicense config UI/gui"
  [update/gui]="update UI/gui"
  [batchdata/gui]="batchdata UI/gui"
  [cmdcenter/gui]="cmdcenter batchdata/gui device/gui config/gui"
  [regCtrl/object]="cmdcenter/gui barcode/gui batchdata/gui dataformat/gui dlicense/gui image/gui config/gui regCtrl/rules"
  [pages]="regCtrl/object"
  [shell]="pages update/gui demo"
)

# Every folder a folder may include: itself and, recursively, what it uses.
declare -A reach=()
reachable() {
  local folder=$1 below result="$1"
  if [ -n "${reach[$folder]+set}" ]; then
    echo "${reach[$folder]}"
    return
  fi
  for below in ${uses[$folder]}; do
    result+=" $(reachable "$below")"
  done
  result=$(tr ' ' '\n' <<<"$result" | sort -u | tr '\n' ' ')
  reach[$folder]=$result
  echo "$result"
}

found=0
# Bare names: a file of the same folder, in the program and in the tests.
for top in "$src" "$@"; do
  while IFS= read -r file; do
    folder=$(dirname "$file")
    while IFS= read -r name; do
      if [ ! -e "$folder/$name" ]; then
        echo "$file: #include \"$name\" names no file of its folder; name it from src/ or tests/"
        found=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"/]*\)".*/\1/p' "$file")
  done < <(find "$top" -name '*.cpp' -o -name '*.h' -o -name '*.c')
done

# Named ones: only folders of the layers beneath.
for folder in "${!uses[@]}"; do
  allowed=" $(reachable "$folder") "
  for file in "$src/$folder"/*.cpp "$src/$folder"/*.h; do
    [ -e "$file" ] || continue
    while IFS= read -r name; do
      target=$(dirname "$name")
      if [[ "$allowed" != *" $target "* ]]; then
        echo "$file: #include \"$name\" reaches $target, which $folder does not build on"
        found=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
  done
done

# A folder of src/ missing from the table would go unchecked.
while IFS= read -r dir; do
  folder=${dir#"$src"/}
  if [ -z "${uses[$folder]+set}" ]; then
    echo "$folder: not in the layer table of $0"
    found=1
  fi
done < <(find "$src" -mindepth 1 -type d -exec sh -c 'ls "$1"/*.cpp "$1"/*.h >/dev/null 2>&1' _ {} \; -print)
exit $found
