# shellcheck shell=bash
# The Debian 13 ("trixie") chroot that scripts/test-debian13 and scripts/test-windows-wine10 work
# in, and a throw-away layer over it for each run. Sourced after common.sh, by root.
#
# The chroot is made once with debootstrap from the machine's own Debian archive, with every
# package either script needs, and cached outside the checkout, keyed by the suite, the archive,
# debootstrap's version, the packages and the recipe below. Each run works in a layer of its own
# over it (overlayfs), thrown away afterwards with everything mounted for it, so the cached
# chroot stays as made.

suite=trixie
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}
# What the Linux tests need there, the package tests besides, what the Windows tests need under
# Debian 13's Wine, and the mingw-w64 whose headers declare the UI Automation client's interfaces
# (Debian 12's do not).
debian13_packages=("${base_packages[@]}" "${test_packages[@]}" "${package_test_packages[@]}"
  "${windows_test_packages[@]}" procps g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)

cache="${XDG_CACHE_HOME:-$HOME/.cache}/tamahiroi/debian13"

# Ends whatever runs inside a chroot: processes whose root is in it (a test's X server a failed
# run left, say). Found by that root, so nothing outside is touched.
end_processes_in() {
  local dir=$1 pid link
  for pid in /proc/[0-9]*; do
    link=$(readlink "$pid/root" 2>/dev/null) || continue
    [[ $link == "$dir" || $link == "$dir"/* ]] && kill -KILL "${pid#/proc/}" 2>/dev/null || true
  done
}
# Unmounts everything at or below a folder, deepest first.
unmount_all() {
  local dir=$1 mount
  end_processes_in "$dir"
  findmnt -rn -o TARGET | awk -v dir="$dir" '$0 == dir || index($0, dir "/") == 1' | sort -r |
    while read -r mount; do
      umount "$mount" || umount -l "$mount"
    done
}
# What a program run in the chroot needs mounted.
mount_system() {
  local dir=$1
  mount -t proc proc "$dir/proc"
  mount -t sysfs sysfs "$dir/sys"
  mount --bind /dev/pts "$dir/dev/pts"
  mount -t tmpfs -o mode=1777 tmpfs "$dir/dev/shm"
}
# A line every half minute while PID runs, with the last step its LOG shows.
progress() {
  local pid=$1 log=$2 begun=$SECONDS
  while sleep 30 && kill -0 "$pid" 2>/dev/null; do
    say "... $((SECONDS - begun)) s: $(grep -a -o -E '^\[[0-9]+/[0-9]+\]|^(Unpacking|Setting up) [^ ]+|Test +#[0-9]+|^[a-z_0-9]+_test: .*|^== .*' "$log" | tail -1)"
  done
}
in_chroot() {
  local dir=$1
  shift
  chroot "$dir" /usr/bin/env -i HOME=/root LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# --- chroot ---
# Makes the cached chroot when there is none for this key and sets base to it. Takes the lock
# on the cache and keeps it (fd 9): debian13_layer lets go of it. One chroot is made at a time:
# a second caller waits for the first and then uses its result.
debian13_chroot() {
  local key partial started old
  key=$(
    {
      echo "$suite $mirror"
      dpkg-query -W -f='${Version}\n' debootstrap
      printf '%s\n' "${debian13_packages[@]}"
      sed -n '/^# --- chroot ---/,/^# --- end ---/p' "${BASH_SOURCE[0]}"
    } | sha256sum | cut -c1-16
  )
  base="$cache/chroot-$key"
  mkdir -p "$cache"
  exec 9>"$cache/.lock"
  flock -n 9 || { say "waiting for another run that makes the chroot"; flock 9; }
  [ -f "$base/.complete" ] && return 0
  say "no cached Debian 13 chroot for this set-up (key $key): making it from $mirror, a few minutes"
  started=$(date +%s)
  partial="$base.partial"
  unmount_all "$partial"
  rm -rf --one-file-system "$partial"
  # Older chroots of other keys are of no further use, unless a run still works over one.
  for old in "$cache"/chroot-*; do
    [ -d "$old" ] && ! grep -qF "lowerdir=$old," /proc/self/mountinfo &&
      unmount_all "$old" && rm -rf --one-file-system "$old"
  done
  mkdir -p "$partial"
  trap 'unmount_all "$partial"' EXIT
  say "debootstrap $suite (log: $cache/debootstrap.log)"
  nice debootstrap --variant=minbase "$suite" "$partial" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/debootstrap.log" >&2; return 1; }
  echo "deb $mirror $suite-updates main" >>"$partial/etc/apt/sources.list"
  mount_system "$partial"
  say "installing ${#debian13_packages[@]} packages and what they need (log: $cache/apt.log)"
  {
    in_chroot "$partial" apt-get update -qq &&
      in_chroot "$partial" nice apt-get install -y -qq --no-install-recommends \
        "${debian13_packages[@]}" &&
      in_chroot "$partial" apt-get clean
  } >"$cache/apt.log" 2>&1 &
  local installer=$!
  progress "$installer" "$cache/apt.log"
  wait "$installer" || { tail -20 "$cache/apt.log" >&2; return 1; }
  unmount_all "$partial"
  trap - EXIT
  touch "$partial/.complete"
  mv "$partial" "$base"
  say "made the chroot in $(($(date +%s) - started)) s: $(du -sh "$base" | cut -f1) in $base"
}
# --- end ---

# This run's layer over the chroot, with the system's file systems mounted in it: sets run (the
# layer's folder) and merged (its root), and the EXIT trap that unmounts and removes both
# however the caller ends. Clears what stopped runs left first, then lets go of the cache's
# lock: runs share the cached chroot read-only, the lock is for making it and for this upkeep.
debian13_layer() {
  local stale
  # What runs that were stopped left: their layers, where nothing is mounted (a run that goes on
  # mounts its layer before it lets go of the lock).
  for stale in "$cache"/run.*; do
    [ -d "$stale" ] || continue
    findmnt -rn -o TARGET | grep -qF "$stale/" || rm -rf --one-file-system "$stale"
  done
  run=$(mktemp -d "$cache/run.XXXXXX")
  merged="$run/root"
  mkdir -p "$run/upper" "$run/work" "$merged"
  trap 'unmount_all "$merged"; rm -rf --one-file-system "$run"' EXIT
  mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$merged"
  mount_system "$merged"
  exec 9>&-
}
