# The one recipe of the cross builds' libraries (SDL2 and FreeType from Debian's source
# packages, and GoogleTest from the source Debian ships), sourced by scripts/web-deps and
# scripts/windows-deps after prelude.sh. Each build's libraries are built once per machine,
# like an installed toolchain: into a cache outside the clone ($TOLVANE_CACHE, else
# ~/.cache/tolvane), in a folder named by what builds them, which build/<name> links to.
#
#   cross_store KIND NAME...
#       reads what builds the libraries (toolchain and package versions) on stdin; with this
#       file and the calling script it names the store $cache/KIND-<key>. Links build/NAME to
#       its NAME folder unless build/NAME is something else (a folder, or a link outside the
#       cache), which is then used as it is. Holds the store's lock until the script ends:
#       another clone waits, then finds it built.
#   cross_prefix NAME
#       sets root (the real path of build/NAME), prefix ($root/prefix, written into the
#       libraries' CMake and pkg-config files) and stamp (there once everything is built).
#   cross_sources
#       fetches and unpacks the sources into $root/src once (a failed build starts again from
#       them); sets sdl_src and ft_src.
#   cross_build NAME SOURCE CMAKE-OPTION...
#       configures with "${cross_cmake[@]}" (cmake with the build's toolchain), builds and
#       installs one library into $prefix, unless an earlier run did.

cross_store() {
    local kind=$1 key name
    shift
    cache=${TOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane}
    key=$({
        cat scripts/cross-libs.sh "scripts/${0##*/}"
        cat
    } | sha256sum | cut -c1-16)
    store=$cache/$kind-$key
    mkdir -p "$store" build
    exec 8>"$store.lock"
    flock 8
    for name in "$@"; do
        if [[ ! -e build/$name && ! -L build/$name ]] ||
            [[ -L build/$name && $(readlink "build/$name") == "$cache"/* ]]; then
            mkdir -p "$store/$name"
            ln -sfn "$store/$name" "build/$name"
        fi
    done
}

cross_prefix() {
    mkdir -p "build/$1"
    root=$(cd "build/$1" && pwd -P)
    prefix=$root/prefix
    stamp=$prefix/.built-all
}

cross_sources() {
    local src=$root/src
    if [[ ! -f $src/.unpacked ]]; then
        # A private apt configuration whose source entries are the machine's own binary
        # entries for this release, turned into deb-src: the archive is whatever the machine
        # already uses, and the system's apt configuration is left as it is.
        local apt_dir=$root/apt f codename
        rm -rf "$apt_dir"
        mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
        [[ -n $codename ]] || { echo "$0: no release code name in /etc/os-release" >&2; return 1; }
        for f in /etc/apt/sources.list.d/*.sources; do
            [[ -f $f ]] || continue
            # deb822 stanzas: keep those of this release's suites that carry binary packages.
            awk -v codename="$codename" '
                function flush() {
                    if (stanza != "" && types ~ /(^| )deb( |$)/ && suites ~ codename)
                        printf "%s\n", stanza
                    stanza = ""; types = ""; suites = ""
                }
                /^[[:space:]]*$/ { flush(); next }
                /^#/ { next }
                /^Types:/ { types = $0; sub(/^Types:[[:space:]]*/, "", types); $0 = "Types: deb-src" }
                /^Suites:/ { suites = $0 }
                { stanza = stanza $0 "\n" }
                END { flush() }' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
        done
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [[ -f $f ]] || continue
            awk -v codename="$codename" '$1 == "deb" && $0 ~ codename { $1 = "deb-src"; print }' "$f" \
                >>"$apt_dir/sources.list.d/derived.list"
        done
        local apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
                        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
                        -o "Debug::NoLocking=true" -o "APT::Sandbox::User=$(id -un)")
        apt-get "${apt_opts[@]}" update -q >/dev/null
        rm -rf "$src"
        mkdir -p "$src"
        (cd "$src" && apt-get "${apt_opts[@]}" source -q libsdl2 freetype >/dev/null)
        touch "$src/.unpacked"
    fi
    sdl_src=$(find "$src" -maxdepth 1 -type d -name 'libsdl2-*' | head -n1)
    ft_src=$(find "$src" -maxdepth 1 -type d -name 'freetype-*' | head -n1)
    [[ -d $sdl_src && -d $ft_src ]] || { echo "$0: sources not unpacked" >&2; return 1; }
}

cross_build() {
    local name=$1 source=$2
    shift 2
    [[ -f $prefix/.built-$name ]] && return 0
    rm -rf "${root:?}/$name"
    "${cross_cmake[@]}" -S "$source" -B "$root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
    cmake --build "$root/$name" -j "$jobs" >/dev/null
    cmake --install "$root/$name" >/dev/null
    touch "$prefix/.built-$name"
}
