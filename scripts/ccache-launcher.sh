# Sourced by the build scripts from the checkout's root: sets `launcher` to the CMake argument
# that compiles through ccache when it is installed (nothing otherwise), with paths relative
# to the checkout so that other checkouts share the cache.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
