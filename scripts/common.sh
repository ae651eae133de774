# shellcheck shell=bash
# Shared by the scripts: install what is missing, then configure and build into build/.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

# A message from the running script, named, on stderr.
say() { echo "$(basename "$0"): $*" >&2; }

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
# for the stand-in settings portal, a bus and Python's D-Bus bindings; Qt's own Japanese texts
# for the help viewer; Python for the check of skipped tests; for the test with the real screen
# reader, the reader, the accessibility bus, a way to ask a bus and to read the clipboard.
# shellcheck disable=SC2034
test_packages=(libgtest-dev desktop-file-utils appstream xvfb xdotool strace dbus-x11 dbus-daemon
  python3 python3-dbus python3-gi qt6-translations-l10n orca at-spi2-core dbus-bin xclip)
# What the Windows tests need under Wine: Wine, and for the tests of the real windows an X
# server, a tool that clicks and types, a screen grabber and a Japanese font; for the signing test
# the signing tool, a throw-away certificate's maker and the installer's tools; for the hardening
# table a reader of PE files; for the screen-reader check the clipboard's reader.
# shellcheck disable=SC2034
windows_test_packages=(wine64 wine xvfb xdotool imagemagick fonts-vlgothic osslsigncode openssl wixl
  msitools python3-pefile xclip)

# What the package tests need besides (tests/package_deb_test.sh, tests/package_windows_test.sh):
# the Debian package's checker, a private X server and its clicks, the font cache's tools, the
# Japanese locale's maker, unzip and Wine.
# shellcheck disable=SC2034
package_test_packages=(lintian xvfb xdotool desktop-file-utils fontconfig locales unzip wine64 wine)

# A script that changes the machine it runs on goes on only on CI's machine (CI=true) or when
# its first argument is --on-this-machine (the caller shifts that off); else it says what it
# would do (DOES) and ends with status 2.
#   on_this_machine_only DOES "$@"
on_this_machine_only() {
  local does=$1
  shift
  [ "${1:-}" = --on-this-machine ] || [ "${CI:-}" = true ] && return 0
  echo "scripts/$(basename "$0") $does."
  echo "It is meant for CI; run it with --on-this-machine to do that here."
  exit 2
}

configure_and_build() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$build" --parallel
}

# The system this runs on, as the list of allowed skips names it: debian-12, debian-13.
this_system() {
  local ID VERSION_ID
  # shellcheck source=/dev/null
  . /etc/os-release
  echo "$ID${VERSION_ID:+-$VERSION_ID}"
}

# Runs ctest in the current folder with ARGS, then fails when a test skipped a case (or did not
# run) without leave for this run in tests/allowed-skips.txt; SYSTEMS are the words this run
# answers to there (this_system, sanitizers, windows). A folder without tests fails too.
#   checked_ctest "SYSTEMS" ARGS...
checked_ctest() {
  local systems=$1 status=0 report="$PWD/ctest-report.xml"
  shift
  ctest --no-tests=error --output-on-failure --output-junit "$report" \
    --test-output-size-passed 4000000 --test-output-size-failed 4000000 "$@" || status=$?
  # shellcheck disable=SC2086 # the systems are words
  python3 "$root/tests/support/check_skips.py" "$report" "$root/tests/allowed-skips.txt" $systems ||
    status=1
  return "$status"
}

# clang-tidy with the committed checks over FILES, each compiled as BUILD's compile database
# says; in a build for Windows as mingw-w64 compiles them (its target and its C++ headers, which
# clang does not find by itself). Prints the findings, not clang-tidy's count of the warnings it
# left out (those of other people's headers); fails when there is one.
#   tidy BUILD FILE...
tidy() {
  local build=$1 args=() dir status=0 findings
  shift
  if grep -q 'mingw32-g++' "$build/compile_commands.json"; then
    args+=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++)
    while read -r dir; do args+=("--extra-arg=-isystem$dir"); done < <(
      x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 |
        sed -n '/^#include <...> search starts here/,/^End of search list/p' | grep '^ /.*c++')
  fi
  # A few files at a time per core.
  findings=$(printf '%s\n' "$@" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --config-file="$root/.clang-tidy" --quiet \
      "${args[@]}" 2>&1) || status=1
  grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' <<<"$findings" || true
  return "$status"
}

# The project's own files matching PATTERN that BUILD compiles, as its compile database lists.
#   compiled_files BUILD PATTERN...
compiled_files() {
  local build=$1 file
  shift
  git -C "$root" ls-files "$@" | while read -r file; do
    grep -qF "\"file\": \"$root/$file\"" "$build/compile_commands.json" && echo "$file"
  done
}

# What scripts/package makes and where, named by the version in its release build's facts
# (product.env): sets product, version, dist, deb, msi, user_msi, zip and stage (the Windows
# install tree both Windows packages hold). Fails when there is no such build.
#   package_outputs
# shellcheck disable=SC2034 # used by the scripts that call it
package_outputs() {
  product="$root/build/package/packaging/product.env"
  dist="$root/dist"
  stage="$root/build/package-windows/stage"
  [ -f "$product" ] || return 1
  # shellcheck source=/dev/null
  version=$(source "$product" && echo "$version")
  deb="$dist/tamahiroi_${version}_$(dpkg --print-architecture).deb"
  msi="$dist/tamahiroi-$version-x64.msi"
  user_msi="$dist/tamahiroi-$version-x64-per-user.msi"
  zip="$dist/tamahiroi-$version-windows-x64.zip"
}
