#!/usr/bin/env bash
# make-prefix.sh MACHINE_DIR PREFIX [STANDIN_DIR]
#
# Builds a fresh Wine prefix that is the machine described in MACHINE_DIR (see
# src/platform/sim/sim_machine.h): registry.reg imported into the 64-bit registry view,
# drive_c/ merged into the prefix's drive C: (names matched without regard to case, as
# Windows does), and the described profile folders (shell folders 26, 35 and 5 of
# machine.ini) copied into Wine's own ones, since Wine has its own user name and profile
# paths. With STANDIN_DIR (a Windows build's <build>/standins), the stand-ins are copied
# where [standins] of machine.ini wants them.
#
# Environment: WINEDEBUG defaults to -all. Prints the prefix's Wine profile folders as
# "shell<TAB>CSIDL<TAB>folder" lines at the end.
set -euo pipefail

if (($# < 2 || $# > 3)); then
    echo "usage: $0 MACHINE_DIR PREFIX [STANDIN_DIR]" >&2
    exit 2
fi
machine=$(realpath "$1")
prefix=$(realpath -m "$2")
standins=${3:+$(realpath "$3")}
if [[ -e $prefix ]]; then
    echo "$prefix exists already: a fresh prefix is needed" >&2
    exit 2
fi
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them, and they would ask questions.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

wine wineboot -i >/dev/null 2>&1
# Windows draw their own caption, as on Windows: under Xvfb there is no window manager to
# draw one, and screenshots of the window would show no title bar.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wineserver -w

drive_c=$prefix/drive_c

# Wine links the profile's Documents, Desktop, Downloads and the like to the Unix home
# folder. A test machine must neither write into the home of whoever runs it nor see what
# earlier runs left there: the links become folders of the prefix.
for link in "$drive_c"/users/*/*; do
    if [[ -L $link ]]; then
        rm "$link"
        mkdir "$link"
    fi
done

# The entry of folder $1 named $2 without regard to case, or $1/$2 when there is none.
find_no_case() {
    local dir=$1 name=$2 entry
    if [[ -e $dir/$name ]]; then
        printf '%s\n' "$dir/$name"
        return
    fi
    if [[ -d $dir ]]; then
        for entry in "$dir"/*; do
            local base=${entry##*/}
            if [[ ${base,,} == "${name,,}" ]]; then
                printf '%s\n' "$entry"
                return
            fi
        done
    fi
    printf '%s\n' "$dir/$name"
}

# The Unix path under root $1 of the Windows path $2 ("C:\x\y"), existing components
# matched without regard to case.
unix_path() {
    local path=$1 rest=${2#?:} part
    rest=${rest//\\//}
    IFS=/ read -r -a parts <<<"$rest"
    for part in "${parts[@]}"; do
        [[ -z $part ]] && continue
        path=$(find_no_case "$path" "$part")
    done
    printf '%s\n' "$path"
}

# Merges the tree $1 into the folder $2, names matched without regard to case.
merge_tree() {
    local from=$1 to=$2 entry target
    mkdir -p "$to"
    shopt -s dotglob nullglob
    for entry in "$from"/*; do
        target=$(find_no_case "$to" "${entry##*/}")
        if [[ -d $entry ]]; then
            merge_tree "$entry" "$target"
        else
            cp -p "$entry" "$target"
        fi
    done
    shopt -u dotglob nullglob
}

# Values of one section of machine.ini as "key=value" lines.
ini_section() {
    local section=$1
    [[ -f $machine/machine.ini ]] || return 0
    awk -v want="[${section,,}]" '
        { sub(/\r$/, "") }
        /^[ \t]*[;#]/ || /^[ \t]*$/ { next }
        /^[ \t]*\[/ { current = tolower($0); gsub(/[ \t]/, "", current); next }
        current == want { print }
    ' "$machine/machine.ini"
}

# The registry, into the 64-bit view (the 64-bit reg.exe, and said so).
if [[ -f $machine/registry.reg ]]; then
    cp "$machine/registry.reg" "$drive_c/vuni-machine.reg"
    wine reg import 'C:\vuni-machine.reg' /reg:64 >/dev/null 2>&1
    rm -f "$drive_c/vuni-machine.reg"
fi

if [[ -d $machine/drive_c ]]; then
    merge_tree "$machine/drive_c" "$drive_c"
fi

# Wine's own profile folders, and the described ones copied into them.
wine_folder() {
    wine cmd /c echo "$1" 2>/dev/null | tr -d '\r' | tail -n 1
}
declare -A wine_shell=(
    [26]=$(wine_folder '%APPDATA%')
    [35]=$(wine_folder '%ProgramData%')
    [5]="$(wine_folder '%USERPROFILE%')\\Documents"
)
while IFS='=' read -r csidl folder; do
    csidl=${csidl//[[:space:]]/}
    target=${wine_shell[$csidl]:-}
    [[ -n $target ]] || continue
    source=$(unix_path "$machine/drive_c" "$folder")
    if [[ -d $source && ${folder,,} != "${target,,}" ]]; then
        merge_tree "$source" "$(unix_path "$drive_c" "$target")"
    fi
done < <(ini_section shellfolders)

if [[ -n $standins ]]; then
    while IFS='=' read -r winpath name; do
        file=""
        for candidate in "$standins/$name.exe" "$standins/$name.dll"; do
            [[ -f $candidate ]] && file=$candidate && break
        done
        if [[ -z $file ]]; then
            echo "no stand-in $name in $standins" >&2
            exit 1
        fi
        target=$(unix_path "$drive_c" "$winpath")
        mkdir -p "$(dirname "$target")"
        cp "$file" "$target"
    done < <(ini_section standins)
fi

wineserver -w
for csidl in 26 35 5; do
    printf 'shell\t%s\t%s\n' "$csidl" "${wine_shell[$csidl]}"
done
