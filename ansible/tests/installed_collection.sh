# SPDX-License-Identifier: MIT
# Sourced by the end-to-end tests: a scratch folder (the current one from here on) that
# goes with everything listed in `pids` when the test ends, Ansible kept inside it, and
# the collection from `$collection` built and installed there. Needs `fail`.
work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
cd "$work"
export ANSIBLE_HOME="$work/home" ANSIBLE_COLLECTIONS_PATH="$work/collections" ANSIBLE_LOCAL_TEMP="$work/tmp"
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0 ANSIBLE_INVENTORY_UNPARSED_WARNING=0

ansible-galaxy collection build "$collection" --output-path "$work" >build.log 2>&1 || fail "build: $(cat build.log)"
ansible-galaxy collection install -p "$work/collections" "$work"/vostrel-scanners-*.tar.gz >install.log 2>&1 \
    || fail "install: $(cat install.log)"
