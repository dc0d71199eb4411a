#!/bin/bash
# A lower layer never includes a higher layer's headers. Each row: a folder of src/
# and the folders above it. Prints every offending include and fails when there is one.
set -u
src="$1"
rows=(
  "hbds: app device config model regCtrl/rules regCtrl/object pages simulator demo cli fwpack"
  "app: device config model regCtrl/rules regCtrl/object pages simulator demo cli"
  "device: config model regCtrl/rules regCtrl/object pages simulator demo cli"
  "dlicense: app/gui config/gui dlicense/gui update/gui regCtrl/object pages simulator demo cli fwpack"
  "update: app/gui config/gui dlicense/gui update/gui regCtrl/object pages simulator demo cli fwpack"
  "cmdcenter: cmdcenter/gui batchdata/gui regCtrl/object pages simulator demo cli fwpack"
  "batchdata: cmdcenter/gui batchdata/gui regCtrl/object pages simulator demo cli fwpack"
  "simulator: app device config model regCtrl/rules regCtrl/object pages demo cli fwpack cmdcenter cmdcenter/gui batchdata batchdata/gui dlicense update dataformat/gui UI image image/gui"
  "dataformat: app device config model regCtrl/rules regCtrl/object pages simulator demo cli UI"
  "image: app/gui config/gui regCtrl/object pages image/gui simulator demo cli"
)
found=0
for row in "${rows[@]}"; do
  low=${row%%:*}
  for high in ${row#*:}; do
    for header in "$src/$high"/*.h; do
      [ -e "$header" ] || continue
      name=$(basename "$header")
      if grep -Hn "#include \"$name\"" "$src/$low"/*.cpp "$src/$low"/*.h 2>/dev/null; then
        found=1
      fi
    done
  done
done
exit $found
