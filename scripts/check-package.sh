#!/usr/bin/env bash
# Builds the Debian package in build-pkg (scripts/package.sh) and checks it: its control fields and
# files, the desktop entry, the manual page and lintian; then installs it on
# this machine, runs it as two members of the group velto, removes and purges
# it and checks that the ward's data stayed. Run as root (CI does). What it
# adds to the machine (package, test users, and the data folder and group
# when it made them) goes again at the end, however the script ends.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" = 0 ] || { echo "check-package: run as root" >&2; exit 1; }
fail() { echo "check-package: $*" >&2; exit 1; }

package_status() { dpkg-query -W -f='${Status}' velto 2>/dev/null || true; }
known_to_dpkg() { [ -n "$(package_status)" ] && [[ "$(package_status)" != *not-installed ]]; }
if known_to_dpkg; then
  fail "velto is installed on this machine (or its settings are); the check installs and purges it itself"
fi

bash scripts/package.sh
BUILD=build-pkg
VERSION="$(sed -n 's/^project(Velto VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
DEB="$PWD/$BUILD/velto_${VERSION}-1_$(dpkg --print-architecture).deb"
[ -f "$DEB" ] || fail "no package $DEB"
echo "check-package: built $DEB"

DATA=/var/lib/velto
USERS=(velto-check-a velto-check-b)
SCRATCH="$(mktemp -d "${TMPDIR:-/tmp}/velto-pkg.XXXXXX")"
data_was_there=0; [ -e "$DATA" ] && data_was_there=1
group_was_there=0; getent group velto >/dev/null && group_was_there=1
cleanup() {
  local rc=$?
  local user
  for user in "${USERS[@]}"; do
    if id "$user" >/dev/null 2>&1; then userdel "$user" || rc=1; fi
  done
  if known_to_dpkg; then
    dpkg --purge velto >/dev/null 2>&1 || rc=1
  fi
  # Only what this run made: another's data folder, and its group, stay.
  if [ "$data_was_there" = 0 ]; then rm -rf "$DATA"; fi
  if [ "$group_was_there" = 0 ] && [ "$data_was_there" = 0 ] && getent group velto >/dev/null; then delgroup --quiet velto >/dev/null || rc=1; fi
  rm -rf "$SCRATCH"
  if [ "$rc" = 0 ]; then echo "check-package: passed"; else echo "check-package: FAILED" >&2; fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# --- The package as built -------------------------------------------------
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = velto ] || fail "Package: $(field Package)"
[ "$(field Version)" = "${VERSION}-1" ] || fail "Version: $(field Version)"
for f in Section Priority Maintainer Description Installed-Size; do
  [ -n "$(field "$f")" ] || fail "no $f field"
done
depends="$(field Depends)"
# What the program loads at run time besides the libraries it links.
for dep in adduser fonts-ipafont-gothic fonts-ipafont-mincho libqt6sql6-psql qt6-translations-l10n \
           libqt6widgets6 libqt6sql6 libc6; do
  grep -qE "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

dpkg-deb -e "$DEB" "$SCRATCH/control"
[ "$(cat "$SCRATCH/control/conffiles")" = /etc/velto/velto.ini ] || fail "conffiles: $(cat "$SCRATCH/control/conffiles")"
for script in postinst postrm; do
  [ "$(stat -c %a "$SCRATCH/control/$script")" = 755 ] || fail "$script is not 0755"
done

# Every file of the package, exactly: nothing missing, nothing stray.
contents="$SCRATCH/contents" expected="$SCRATCH/expected" listed="$SCRATCH/listed"
dpkg-deb -c "$DEB" >"$contents"
{
  echo "./etc/velto/velto.ini"
  echo "./usr/bin/velto -> ../lib/velto/velto"
  echo "./usr/lib/velto/velto"
  (cd help && find . -type f | sed 's|^\.|./usr/lib/velto/help|')
  (cd resources/menu && find . -type f | sed 's|^\.|./usr/lib/velto|')
  for size in 16 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${size}x${size}/apps/velto.png"; done
  echo "./usr/share/applications/velto.desktop"
  echo "./usr/share/doc/velto/changelog.Debian.gz"
  echo "./usr/share/doc/velto/copyright"
  echo "./usr/share/lintian/overrides/velto"
  echo "./usr/share/man/man1/velto.1.gz"
} | sort >"$expected"
awk '$1 !~ /^d/ { $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' "$contents" | sort >"$listed"
diff -u "$expected" "$listed" || fail "the package's files differ from the expected list"
if awk '{ print $2 }' "$contents" | grep -v '^root/root$'; then fail "files not owned by root"; fi
grep -q '^-rwxr-xr-x .* ./usr/lib/velto/velto$' "$contents" || fail "the program is not 0755"

# No trace of the build machine: neither in a file's name nor in its bytes.
dpkg-deb -x "$DEB" "$SCRATCH/root"
if grep -E '(^|/)(work|tmp|build[^/]*)/' "$listed"; then fail "a build path among the file names"; fi
if grep -rlF "$PWD" "$SCRATCH/root"; then fail "the build folder $PWD inside these files"; fi
if strings "$SCRATCH/root/usr/lib/velto/velto" | grep -F -e "$PWD" -e "/$BUILD/"; then
  fail "the build folder inside the program"
fi
[[ "$(file -b "$SCRATCH/root/usr/lib/velto/velto")" == *", stripped"* ]] || fail "the program is not stripped"

# The hand-kept version texts follow the project's.
grep -q "^\.TH VELTO 1 .* \"Velto $VERSION\"" packaging/velto.1 || fail "packaging/velto.1 does not name Velto $VERSION"
head -n1 packaging/changelog | grep -qF "velto (${VERSION}-1) " || fail "packaging/changelog does not begin with ${VERSION}-1"

desktop-file-validate "$SCRATCH/root/usr/share/applications/velto.desktop"
man_warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -l "$SCRATCH/root/usr/share/man/man1/velto.1.gz" 2>&1 >/dev/null)"
[ -z "$man_warnings" ] || fail "the manual page: $man_warnings"

# lintian: an error fails, and so does any other tag than those the README
# lists with their reasons.
KEPT_TAGS=(hardening-no-fortify-functions)
lintian_rc=0
lintian --display-info --tag-display-limit 0 "$DEB" >"$SCRATCH/lintian" 2>&1 || lintian_rc=$?
cat "$SCRATCH/lintian"
[ "$lintian_rc" -le 1 ] || fail "lintian itself failed ($lintian_rc)"
while read -r level _ tag _; do
  case "$level" in
    E:) fail "lintian error $tag" ;;
    W:|I:|P:) [[ " ${KEPT_TAGS[*]} " == *" $tag "* ]] || fail "lintian tag $tag is not among the kept ones" ;;
  esac
done <"$SCRATCH/lintian"

# --- Installed on this machine --------------------------------------------
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$DEB" >/dev/null
getent group velto >/dev/null || fail "no group velto"
dirs=("$DATA" "$DATA/DB" "$DATA/DB/Out" "$DATA/BackUp" "$DATA/log")
check_dirs() {
  local dir
  for dir in "${dirs[@]}"; do
    [ "$(stat -c '%U:%G %a' "$dir")" = "root:velto 2770" ] || fail "$dir is $(stat -c '%U:%G %a' "$dir")"
  done
}
check_dirs
[ "$(readlink /usr/bin/velto)" = ../lib/velto/velto ] || fail "/usr/bin/velto: $(readlink /usr/bin/velto)"
# The packaged build names the settings of every account; the normal one does not.
[[ "$(velto --help)" == *"Defaults for every user: /etc/velto/velto.ini"* ]] || fail "velto --help lacks /etc/velto/velto.ini"

for user in "${USERS[@]}"; do
  useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin --groups velto "$user"
  answer="$(runuser -u "$user" -- env QT_QPA_PLATFORM=offscreen velto --version)"
  [ "$answer" = "velto $VERSION" ] || fail "$user: velto --version said '$answer'"
  for dir in "${dirs[@]}"; do
    runuser -u "$user" -- test -w "$dir" -a -x "$dir" || fail "$user may not write into $dir"
  done
done
# Outside the group the ward's data is closed.
if runuser -u nobody -- test -x "$DATA"; then fail "nobody may enter $DATA"; fi

# --- Shared ward checks (two members of the group on one data folder) ------
# Only on a data folder this run made: a real ward is never seeded here.
if [ "$data_was_there" = 0 ]; then
  check_as() { runuser -u "$1" -- env QT_QPA_PLATFORM=offscreen velto --check; }
  # One after the other: one ward, one set of staff accounts, seeded once.
  first="$(check_as "${USERS[0]}")" || fail "${USERS[0]}: velto --check failed: $first"
  expected="$(printf 'データフォルダ: %s\n職員: 1名\n入院: 0名' "$DATA")"
  [ "$first" = "$expected" ] || fail "${USERS[0]}: velto --check said '$first'"
  [ "$(stat -c '%U:%G %a' "$DATA/ward.ini")" = "${USERS[0]}:velto 660" ] \
    || fail "ward.ini is $(stat -c '%U:%G %a' "$DATA/ward.ini")"
  grep -q 'pbkdf2-sha256' "$DATA/ward.ini" || fail "ward.ini keeps a password unhashed"
  sum="$(sha256sum <"$DATA/ward.ini")"
  second="$(check_as "${USERS[1]}")" || fail "${USERS[1]}: velto --check failed: $second"
  [ "$second" = "$expected" ] || fail "${USERS[1]}: velto --check said '$second'"
  [ "$(sha256sum <"$DATA/ward.ini")" = "$sum" ] || fail "the second account seeded ward.ini again"
  # At once: the first runs the program (offscreen, at its login window);
  # the second is refused while it runs, and starts once it has ended.
  runuser -u "${USERS[0]}" -- env QT_QPA_PLATFORM=offscreen velto >/dev/null 2>&1 &
  for _ in $(seq 100); do [ -e "$DATA/.velto.lock" ] && break; sleep 0.1; done
  [ -e "$DATA/.velto.lock" ] || fail "the running program holds no lock in $DATA"
  if refused="$(check_as "${USERS[1]}" 2>&1)"; then fail "${USERS[1]} started while ${USERS[0]} ran"; fi
  [[ "$refused" == *"既に起動しています。"* ]] || fail "${USERS[1]} was refused with '$refused'"
  pkill -TERM -u "${USERS[0]}" -x velto || true
  wait || true
  again="$(check_as "${USERS[1]}")" || fail "${USERS[1]}: velto --check after the first ended: $again"
  # Outside the group: refused with the reason, and nothing written.
  if outside="$(runuser -u nobody -- velto --check 2>&1)"; then fail "nobody opened the ward"; fi
  [[ "$outside" == *"データフォルダに書き込む権限がありません。"* ]] || fail "nobody was refused with '$outside'"
fi
# --------------------------------------------------------------------------

# A file of the ward's, made by a member of the group, belongs to the group
# (setgid) and must outlive a second configure, the removal and the purge.
if [ "$data_was_there" = 0 ]; then
  runuser -u "${USERS[0]}" -- sh -c "umask 007; echo kept >'$DATA/log/check-package.txt'"
  [ "$(stat -c '%U:%G %a' "$DATA/log/check-package.txt")" = "${USERS[0]}:velto 660" ] \
    || fail "a member's file is $(stat -c '%U:%G %a' "$DATA/log/check-package.txt")"
fi
listing() { find "$DATA" -printf '%M %u:%g %s %p\n' | sort; }
listing >"$SCRATCH/before"
# An upgrade runs the postinst again.
dpkg-reconfigure velto
listing | diff -u "$SCRATCH/before" - || fail "postinst run again changed $DATA"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -q velto >/dev/null
if [ -e /usr/lib/velto ] || [ -e /usr/bin/velto ]; then fail "the program stayed after removal"; fi
[ -f /etc/velto/velto.ini ] || fail "the conffile went with a plain removal"
listing | diff -u "$SCRATCH/before" - || fail "removing the package changed $DATA"
dpkg --purge velto
[ ! -e /etc/velto ] || fail "/etc/velto stayed after purge"
listing | diff -u "$SCRATCH/before" - || fail "purging the package changed $DATA"
