# Sourced by the scripts that run Windows programs under Wine (scripts/wine-setup, run-host,
# installer-tests): what each of them needs alike.

# use_build_tree BUILD_DIR: exports the tree's Wine prefix and flavour (win32 or win64, written
# by CMake into the tree) for scripts/wine-run.
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

# windows_path UNIX_PATH: the path as a Windows program in the prefix names it, through drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }
