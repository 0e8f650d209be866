#!/usr/bin/env bash
# Checks the Debian package: its contents, lintian and the man pages, then installs it in a
# fresh Debian 12 root, runs both programs, removes and purges it, and compares the file lists.
#
#   scripts/check-package.sh [--mirror URL] [DEB] [BASE_ROOT]
#
# DEB defaults to the one `make package` builds in build/. BASE_ROOT is a bookworm root made by
# `debootstrap --variant=minbase bookworm DIR MIRROR`; it is copied, never changed. Without it
# one is made with debootstrap from --mirror, else from the Debian mirror apt uses (one-line
# or deb822 sources), else from deb.debian.org. Needs root (chroot, mount).
# APT_OPTS=--no-install-recommends checks that the computed dependencies alone suffice.
# A step that fails stops the check with the end of its log.
set -eEuo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
mirror=
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --mirror) [ $# -ge 2 ] || { echo "check-package: --mirror needs a URL" >&2; exit 2; }
              mirror=$2; shift 2 ;;
    --mirror=*) mirror=${1#--mirror=}; shift ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) args+=("$1"); shift ;;
  esac
done
deb=${args[0]:-$(ls "$here"/build/zenka_*.deb 2>/dev/null | head -n 1)}
base=${args[1]:-}
example=$here/examples/worked-case.in
[ -f "$deb" ] || { echo "check-package: no package; run make package first" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "check-package: run as root (chroot)" >&2; exit 2; }

for tool in lintian debootstrap man; do
  command -v "$tool" >/dev/null || missing_tools+=("$tool")
done
if [ -n "${missing_tools[*]:-}" ]; then
  pkgs=${missing_tools[*]}
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${pkgs/man/man-db}
fi

fail=0
check() { # check DESCRIPTION COMMAND...: runs it, reports, remembers a failure
  local what=$1; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fail=1; fi
}

work=$(mktemp -d /tmp/zenka-pkg.XXXXXX)
root=$work/root
# The log of the step under way; on a failure its end is shown and the whole kept, as the
# temporary folder goes.
step_log=
step_what=
failed() {
  local status=$1 line=$2 command=$3
  echo "check-package: failed with status $status at line $line: ${step_what:-$command}" >&2
  local n=0
  for log in "$step_log" ${step_log:+"$root/debootstrap/debootstrap.log"}; do
    [ -n "$log" ] && [ -s "$log" ] || continue
    n=$((n + 1))
    echo "-- the last lines of $log:" >&2
    tail -n 30 "$log" >&2
    kept=/tmp/zenka-check-package.$n.$(basename "$log")
    cp "$log" "$kept" && echo "-- the whole log is kept in $kept" >&2
  done
}
trap 'failed $? $LINENO "$BASH_COMMAND"' ERR
# step LOG COMMAND...: runs it with its output in LOG.
step() {
  step_log=$1; shift
  step_what=$*
  "$@" >"$step_log" 2>&1
  step_log=
  step_what=
}
# The first Debian mirror apt uses: "deb [options] URI ..." lines of one-line sources, "URIs:"
# of deb822 stanzas that are enabled and of type deb; commented lines are none.
apt_mirror() {
  local apt_dir=${APT_DIR:-/etc/apt}
  {
    cat "$apt_dir"/sources.list "$apt_dir"/sources.list.d/*.list 2>/dev/null |
      sed -nE 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/p'
    for f in "$apt_dir"/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk 'BEGIN { RS = "" }
           /(^|\n)[Ee]nabled:[ \t]*no/ { next }
           /(^|\n)Types:[^\n]*[ \t]deb([ \t]|\n|$)/ {
             n = split($0, lines, "\n")
             for (i = 1; i <= n; i++)
               if (lines[i] ~ /^URIs:/) {
                 sub(/^URIs:[ \t]*/, "", lines[i]); print lines[i]
               }
           }' "$f" | tr ' \t' '\n\n'
    done
  } | grep -E '^https?://' | grep -v -e security -e '/debian-ports' | head -n 1 || true
}
cleanup() {
  for m in "$root/proc" "$root/dev/pts"; do mountpoint -q "$m" && umount "$m"; done
  rm -rf "$work"
}
trap cleanup EXIT

echo "== $deb"
dpkg-deb -I "$deb" control
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | sort >"$work/contents"
for f in /usr/bin/zenka /usr/bin/zenka-batch /usr/share/applications/zenka.desktop \
         /usr/share/icons/hicolor/scalable/apps/zenka.svg /usr/share/man/man1/zenka.1.gz \
         /usr/share/man/man1/zenka-batch.1.gz /usr/share/doc/zenka/copyright \
         /usr/share/doc/zenka/changelog.gz; do
  check "holds $f" grep -qx "$f" "$work/contents"
done
check "everything under /usr" bash -c "! grep -vx -e '/' -e '/usr.*' '$work/contents'"
check "version is the project's" bash -c \
  "grep -q 'project(Zenka VERSION '\$(dpkg-deb -f '$deb' Version)' ' '$here/CMakeLists.txt'"
check "Qt 6 runtime among the computed dependencies" bash -c \
  "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6'"

mkdir -p "$work/x"
dpkg-deb -x "$deb" "$work/x"
check "desktop entry claims no file type" bash -c \
  "! grep -q '^MimeType=' '$work/x/usr/share/applications/zenka.desktop'"
for page in zenka zenka-batch; do
  check "man page $page renders without warnings" bash -c \
    "out=\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '$work/x/usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null); [ -z \"\$out\" ] || { echo \"\$out\"; false; }"
done
# Debian 12's glibc start-up files carry no IBT/SHSTK property, so no program there is marked
# for control-flow protection: that one check is left out.
if command -v hardening-check >/dev/null; then
  check "hardening-check passes on both programs" \
    hardening-check --quiet --nocfprotection "$work/x/usr/bin/zenka" "$work/x/usr/bin/zenka-batch"
fi
echo "-- lintian"
lintian --pedantic "$deb" 2>&1 | grep -v '^running with root privileges' | tee "$work/lintian" || true
check "lintian finds nothing" bash -c "! grep -q '^[EWIP]:' '$work/lintian'"

echo "== fresh bookworm root"
if [ -n "$base" ]; then
  cp -a "$base" "$root"
else
  [ -n "$mirror" ] || mirror=$(apt_mirror)
  mirror=${mirror:-http://deb.debian.org/debian}
  echo "debootstrap from $mirror"
  step "$work/debootstrap.log" debootstrap --variant=minbase bookworm "$root" "$mirror"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t devpts devpts "$root/dev/pts"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }
# Files outside what apt and dpkg keep for themselves, which change with any install.
file_list() {
  in_root find / -xdev \( -path /proc -o -path /tmp -o -path /root -o -path /var/log \
    -o -path /var/cache/apt -o -path /var/cache/debconf -o -path /var/lib/apt \
    -o -path /var/lib/dpkg \) -prune -o -print | sort
}

step "$work/apt-update.log" in_root apt-get update
file_list >"$work/fresh"
chroot "$root" dpkg-query -W -f='${Package}\n' | sort >"$work/pkgs-fresh"
cp "$deb" "$root/tmp/"
debname=$(basename "$deb")
mkdir -p "$root/root/job"
cp "$example" "$root/root/job/"
name=$(basename "$example" .in)

run_programs() {
  in_root zenka-batch --version
  check "zenka-batch analyses $name.in and writes $name.out" in_root sh -c \
    "cd /root/job && rm -f $name.out && zenka-batch $name.in && test -s $name.out"
  check "no library missing" bash -c \
    "! chroot '$root' ldd /usr/bin/zenka /usr/bin/zenka-batch | grep 'not found'"
  # No display in the root: the export must not need one.
  check "zenka --export-pdf writes $name.pdf" in_root sh -c \
    "cd /root/job && rm -f $name.pdf && zenka --export-pdf $name.in -o $name.pdf &&
     head -c 5 $name.pdf | grep -q '^%PDF-'"
  check "zenka --help and --version answer on stdout without a display" in_root sh -c \
    "zenka --help | grep -q '^Usage: zenka' && zenka --version | grep -qx 'zenka [0-9.]*'"
  # Started normally the desktop program does not quit by itself: it must still run after 5 s.
  local rc=0
  in_root sh -c 'QT_QPA_PLATFORM=offscreen timeout 5 zenka' >"$work/zenka.log" 2>&1 || rc=$?
  sed 's/^/  zenka: /' "$work/zenka.log"
  check "zenka starts offscreen and keeps running (timeout's status 124, was $rc)" \
    test "$rc" -eq 124
}

remove_and_purge() {
  in_root dpkg -L zenka | sort >"$work/owned"
  check "apt-get remove zenka" in_root sh -c "apt-get remove -y -qq zenka >/tmp/remove.log 2>&1"
  grep -v 'Reading database' "$root/tmp/remove.log" || true
  local left
  left=$(while read -r f; do [ -f "$root$f" ] && echo "$f"; done <"$work/owned" || true)
  check "no file of the package is left after remove" test -z "$left"
  [ -z "$left" ] || echo "$left"
  # Without configuration files nothing is left to purge, and apt then no longer knows the name.
  if chroot "$root" dpkg -s zenka >/dev/null 2>&1; then
    echo "-- apt-get purge zenka"
    in_root apt-get purge -y -qq zenka
  fi
  check "dpkg knows nothing of zenka" bash -c "! chroot '$root' dpkg -s zenka >/dev/null 2>&1"
}

# First with the dependencies in place, so that the file lists before the install and after
# the remove must be equal: this also catches what the programs or a maintainer script leave.
echo "== install and remove over its dependencies"
step "$work/satisfy.log" in_root apt-get satisfy -y ${APT_OPTS:-} "$(dpkg-deb -f "$deb" Depends)"
# satisfy marks what it installs as chosen by hand; autoremove must be able to take it away.
chroot "$root" dpkg-query -W -f='${Package}\n' | sort | comm -13 "$work/pkgs-fresh" - |
  xargs -r chroot "$root" apt-mark auto >/dev/null
file_list >"$work/deps"
check "apt-get install ./$debname installs only zenka" in_root sh -c \
  "cd /tmp && apt-get install -y ${APT_OPTS:-} ./$debname 2>&1 | tee /tmp/install.log |
   grep -q '^0 upgraded, 1 newly installed, 0 to remove'"
run_programs
remove_and_purge
file_list >"$work/removed"
check "the file list after remove is the one before the install" diff "$work/deps" "$work/removed"
in_root apt-get autoremove -y -qq --purge >/dev/null 2>&1

# Then as a user does it, with nothing but the base system: apt brings the dependencies.
echo "== apt-get install ./$debname on the base system"
check "apt-get install ./$debname installs it" in_root sh -c \
  "cd /tmp && apt-get install -y -qq ${APT_OPTS:-} ./$debname >/tmp/install.log 2>&1"
tail -n 3 "$root/tmp/install.log"
echo "packages installed with it: $(chroot "$root" dpkg-query -W -f='${Package}\n' | sort |
  comm -13 "$work/pkgs-fresh" - | wc -l)"
run_programs
remove_and_purge
# The dependencies' own maintainer scripts (users, machine id, runtime folders) may leave files
# after their purge; those are listed, and none may be ours.
echo "-- apt-get autoremove --purge (the dependencies it brought)"
in_root apt-get autoremove -y -qq --purge >/dev/null 2>&1
file_list >"$work/after"
comm -13 "$work/fresh" "$work/after" >"$work/extra"
echo "added since the base system, left by the dependencies: $(wc -l <"$work/extra")"
head -n 40 "$work/extra" | sed 's/^/  /'
check "nothing of the base system is gone" bash -c "comm -23 '$work/fresh' '$work/after' | (! grep .)"
check "nothing named zenka left anywhere" bash -c "! grep -i zenka '$work/after'"

[ "$fail" -eq 0 ] && echo "check-package: all checks passed" || echo "check-package: some checks failed"
exit "$fail"
