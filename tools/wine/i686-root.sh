#!/usr/bin/env bash
# i686-root.sh COMMAND [KIND] [ARGS...]
#
# The shipping installer is a 32-bit Windows program. The host keeps its own 64-bit Wine
# untouched (no i386 architecture in its dpkg, no wine32), so the 32-bit build runs under
# Debian's own wine32 inside a Debian root made once with debootstrap from the host's apt
# mirror and kept in a cache. Each command enters the root in a private mount namespace, with
# the work folders bound at their own paths, so nothing stays mounted on the host.
#
# Kinds of root:
#   wow64  amd64 root with the i386 architecture and wine64 + wine32: prefixes are 64-bit
#          Windows and the 32-bit installer runs under WOW64, as on most users' machines.
#   win32  i386 root with wine32 only: prefixes are a 32-bit Windows.
#
# Commands:
#   check           exit 0 when this machine can run the roots, else say why and exit 77
#   prepare KIND    make the root of KIND unless the cache holds it already
#   run KIND CMD..  run CMD inside the root of KIND
#   bin KIND        prepare, then print a folder holding `wine` and `wineserver` commands
#                   that run inside the root (put it first on PATH)
#
# Environment: VUNI_ROOT_CACHE (default /var/cache/vuni), VUNI_ROOT_BINDS (more folders to
# bind, separated by ":"). The working folder, the repository, /tmp, TMPDIR and the folder of
# WINEPREFIX are always bound.
set -euo pipefail

script=$(realpath "${BASH_SOURCE[0]}")
repo=$(realpath "$(dirname "$script")/../..")
cache=${VUNI_ROOT_CACHE:-/var/cache/vuni}
# Raised whenever the recipe below changes, so that cached roots are made anew.
recipe=1
skip=77

usage() {
    sed -n '2,/^set -euo/p' "$script" | sed '$d; s/^# \{0,1\}//'
    exit 2
}

# A 96-byte i386 ELF program that exits with code 42.
i386_probe() {
    local probe
    probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    local rc=0
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [[ $rc == 42 ]]
}

# Why this machine cannot run the roots, or nothing when it can.
cannot_run() {
    if [[ $(uname -m) != x86_64 ]]; then
        echo "this machine is $(uname -m), not x86_64"
    elif ! i386_probe; then
        echo "this machine cannot run 32-bit programs"
    elif ((EUID != 0)); then
        echo "making and entering the 32-bit Wine root needs root"
    elif ! command -v unshare >/dev/null || ! unshare -m true 2>/dev/null; then
        echo "no private mount namespaces here (unshare -m)"
    fi
}

check() {
    local why
    why=$(cannot_run)
    if [[ -n $why ]]; then
        echo "skipped: $why"
        exit $skip
    fi
}

root_of() {
    case $1 in
        wow64 | win32) printf '%s\n' "$cache/bookworm-$1" ;;
        *)
            echo "unknown kind of root: $1 (wow64 or win32)" >&2
            exit 2
            ;;
    esac
}

# The host's Debian mirror and suite, read from its apt sources.
host_mirror() {
    local line
    if compgen -G '/etc/apt/sources.list.d/*.sources' >/dev/null; then
        awk '/^URIs:/ && !/security/ { print $2; exit }' /etc/apt/sources.list.d/*.sources
        return
    fi
    line=$(grep -h -E '^deb +(\[[^]]*\] +)?(https?|file)://' /etc/apt/sources.list \
        /etc/apt/sources.list.d/*.list 2>/dev/null | grep -v security | head -n 1 || true)
    sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/' <<<"$line"
}

# The host's apt sources, for apt inside the root: the same mirrors and suites.
copy_sources() {
    local root=$1
    rm -f "$root"/etc/apt/sources.list
    [[ -f /etc/apt/sources.list ]] && cp /etc/apt/sources.list "$root"/etc/apt/
    for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [[ -f $f ]] && cp "$f" "$root"/etc/apt/sources.list.d/
    done
    return 0
}

prepare() {
    local kind=$1 root arch packages mirror
    root=$(root_of "$kind")
    [[ -f $root/.vuni-ready-$recipe ]] && return 0
    mkdir -p "$cache"
    exec 9>"$root.lock"
    flock 9
    [[ -f $root/.vuni-ready-$recipe ]] && return 0
    command -v debootstrap >/dev/null || {
        echo "debootstrap is not installed (apt-get install debootstrap)" >&2
        exit 1
    }
    mirror=$(host_mirror)
    [[ -n $mirror ]] || {
        echo "no Debian mirror in the host's apt sources" >&2
        exit 1
    }
    if [[ $kind == wow64 ]]; then
        arch=amd64 packages="wine wine64 wine32:i386"
    else
        arch=i386 packages="wine wine32"
    fi
    echo "Making the $kind Wine root in $root (once; a few minutes)" >&2
    rm -rf "$root"
    debootstrap --arch="$arch" --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || {
        tail -20 "$root.log" >&2
        exit 1
    }
    copy_sources "$root"
    enter "$kind" sh -c "
        set -e
        export DEBIAN_FRONTEND=noninteractive
        [ $arch = amd64 ] && dpkg --add-architecture i386
        # A mirror caught mid-sync fails one index now and then: try again, then go on
        # with what arrived (the install says so if a package is missing).
        apt-get update -qq || { sleep 5; apt-get update -qq; } || { sleep 20; apt-get update -qq; } || true
        apt-get install -y -qq --no-install-recommends $packages
        apt-get clean
    " >>"$root.log" 2>&1 || {
        tail -20 "$root.log" >&2
        exit 1
    }
    touch "$root/.vuni-ready-$recipe"
}

# Runs a command inside the root of $1 in a private mount namespace.
enter() {
    local kind=$1 root
    shift
    root=$(root_of "$kind")
    local binds=("$repo" /tmp "${TMPDIR:-/tmp}" "$PWD")
    [[ -n ${WINEPREFIX:-} ]] && binds+=("$(dirname "$WINEPREFIX")")
    local extra
    IFS=: read -r -a extra <<<"${VUNI_ROOT_BINDS:-}"
    binds+=("${extra[@]}")
    # shellcheck disable=SC2016
    unshare -m --propagation private bash -c '
        set -e
        root=$1 shift_count=$2
        shift 2
        mount --rbind /proc "$root/proc"
        mount --rbind /sys "$root/sys"
        mount --rbind /dev "$root/dev"
        binds=("${@:1:$shift_count}")
        shift "$shift_count"
        for b in "${binds[@]}"; do
            [ -n "$b" ] || continue
            from=$(realpath -e "$b" 2>/dev/null) || continue
            [ -d "$from" ] && [ "$from" != / ] || continue
            mountpoint -q "$root$from" && continue
            mkdir -p "$root$from"
            mount --rbind "$from" "$root$from"
        done
        cd "$root$(pwd -P)" 2>/dev/null || cd "$root"
        here=$(pwd -P)
        exec chroot "$root" /usr/bin/env -C "${here#"$root"}" \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
    ' vuni-root "$root" "${#binds[@]}" "${binds[@]}" "$@"
}

bin() {
    local kind=$1 folder
    prepare "$kind"
    folder=${TMPDIR:-/tmp}/vuni-wine-$kind-$(printf '%s' "$script" | md5sum | cut -c1-8)
    mkdir -p "$folder"
    for command in wine wineserver; do
        printf '#!/bin/sh\nexec bash %q run %q %s "$@"\n' "$script" "$kind" "$command" \
            >"$folder/$command.new"
        chmod +x "$folder/$command.new"
        mv -f "$folder/$command.new" "$folder/$command"
    done
    printf '%s\n' "$folder"
}

(($# >= 1)) || usage
command=$1
shift
case $command in
    check) check ;;
    prepare | bin)
        (($# == 1)) || usage
        check
        "$command" "$1"
        ;;
    run)
        (($# >= 2)) || usage
        kind=$1
        shift
        root=$(root_of "$kind")
        [[ -f $root/.vuni-ready-$recipe ]] || prepare "$kind"
        enter "$kind" "$@"
        ;;
    -h | --help | help) usage ;;
    *) usage ;;
esac
