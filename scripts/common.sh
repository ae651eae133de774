# shellcheck shell=bash
# Shared by the scripts: install what is missing, then configure and build into build/.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

# Installs the Debian packages given that are not installed yet (as root or through sudo).
ensure_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # Waits for another install that holds the package lock instead of failing at once.
  local wait=(-o DPkg::Lock::Timeout=600)
  $sudo apt-get "${wait[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait[@]}" install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# What building and running the program needs.
# shellcheck disable=SC2034 # used by the scripts that source this
base_packages=(cmake ninja-build g++ qt6-base-dev fonts-vlgothic)
# What the tests need besides: GoogleTest; the desktop's own validators for the desktop files;
# and for the test that runs the real program under strace, a private X server, a tool that
# clicks and types into it, and the D-Bus helper that would start a session bus where none runs;
# for the stand-in settings portal, a bus and Python's D-Bus bindings.
# shellcheck disable=SC2034
test_packages=(libgtest-dev desktop-file-utils appstream xvfb xdotool strace dbus-x11 dbus-daemon
  python3-dbus python3-gi)

configure_and_build() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$build" --parallel
}
