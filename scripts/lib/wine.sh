# Sourced by the scripts that take a Windows build tree: exports the tree's Wine prefix and
# flavour (win32 or win64, written by CMake into the tree) for scripts/wine-run.
#   use_build_tree BUILD_DIR
use_build_tree() {
  export VARKEL_WINEPREFIX="${VARKEL_WINEPREFIX:-$1/wineprefix}"
  if [ -z "${VARKEL_WINEARCH:-}" ]; then
    if [ ! -f "$1/wine-arch" ]; then
      echo "$(basename "$0"): $1 is not a configured Windows build tree (no wine-arch)" >&2
      exit 1
    fi
    VARKEL_WINEARCH=$(cat "$1/wine-arch")
    export VARKEL_WINEARCH
  fi
}
