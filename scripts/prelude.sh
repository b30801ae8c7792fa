# Sourced by the scripts here for what they all do first: work from the repository's root,
# install what is missing, and configure and build a preset.
#   jobs            parallel jobs for builds and tests: $JOBS, or one per processor
#   build PRESET [TARGET...]
#                   installs the packages PRESET needs (scripts/deps; for the browser build
#                   scripts/web-deps, for the Windows build scripts/windows-deps: its toolchain
#                   and libraries), configures it and builds
#                   the targets (all without)
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs=${JOBS:-$(nproc)}
# Debian's node modules: Emscripten's JavaScript optimiser needs acorn from them, whichever
# build of node runs.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

build() {
    local preset=$1
    shift
    if [[ $preset == web ]]; then
        scripts/web-deps || return
    elif [[ $preset == windows ]]; then
        scripts/windows-deps || return
    else
        scripts/deps || return
    fi
    cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" -j "$jobs" ${1:+--target "$@"}
}
