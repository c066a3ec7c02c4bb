#!/usr/bin/env bash
# The Debian package as a user meets it: made from the build tree build/,
# checked by lintian (no errors), desktop-file-validate and appstreamcli,
# installed with apt-get, its programs run from /usr/bin by a fresh user
# account (version and help, a read and a write on the simulated board, the
# window from its desktop entry with a table file, a port the user may not
# open), then removed, leaving none of its files behind. Run as root or as a
# user with sudo; extra CMake options go to the build tree's configuration.
set -euo pipefail
cd "$(dirname "$0")/../.."

KXP40S_EXTRA_PACKAGES="lintian desktop-file-utils appstream" \
  ./scripts/setup.sh "$@"
cmake --build build -j"$(nproc)" --target package
version="$(sed -n 's/^project(kxp40s VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)"
deb="build/kxp40s_${version}_$(dpkg --print-architecture).deb"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
user="kxp40s-check-$$"
home="/home/$user"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/kxp40s-package.XXXXXX")"
sim=""
installed=""
# A check that fails half-way leaves neither the package nor the account.
cleanup() {
  [ -z "$sim" ] || as_user kill "$sim" 2>/dev/null || true
  [ -z "$installed" ] || $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kxp40s
  $sudo userdel --remove "$user" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "package check: $*" >&2
  exit 1
}

# Runs a command as the fresh user, in the environment of a new login.
as_user() {
  $sudo runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" \
    PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

echo "== lintian, desktop-file-validate, appstreamcli"
lintian --fail-on error "$deb"
dpkg-deb --extract "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/kxp40s.desktop"
appstreamcli validate --no-net "$scratch"/root/usr/share/metainfo/*.metainfo.xml
# The package's files, to find none of them after the removal.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$scratch/files"

echo "== install"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb"
installed=yes
[ -e /usr/share/mime/application/x-kxp40s-table.xml ] || fail "the table files' MIME type is not known"
$sudo useradd --create-home --shell /bin/bash "$user"

echo "== the programs from /usr/bin"
[ "$(as_user kxp40s-cli --version)" = "kxp40s-cli $version" ] || fail "kxp40s-cli --version"
as_user kxp40s --help | grep -q -- "--board" || fail "kxp40s --help"
board="$home/board"
sim="$(as_user sh -c 'kxp40s-sim --plug "$1" >/dev/null 2>&1 & echo $!' sh "$board")"
for _ in $(seq 50); do
  [ -e "$board" ] && break
  sleep 0.1
done
as_user KXP40S_PORTS="$board" kxp40s-cli read -o "$home/pager.tbl"
as_user kxp40s-cli set "$home/pager.tbl" capcode1=1234000
as_user KXP40S_PORTS="$board" kxp40s-cli write "$home/pager.tbl" --yes
as_user sh -c 'ls "$HOME"/.local/share/kxp40s/backups/*' >/dev/null ||
  fail "the read was not kept in the user's backups folder"

echo "== the window from its desktop entry, with a table file"
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/kxp40s.desktop)"
read -r -a command <<<"${exec_line/\%f/$home/pager.tbl}"
as_user KXP40S_PORTS="$board" xvfb-run --auto-servernum sh -c '
  "$@" --report >"$HOME/window.out" 2>&1 &
  window=$!
  for _ in $(seq 300); do
    grep -q "^caption .*pager.tbl" "$HOME/window.out" && break
    sleep 0.1
  done
  kill "$window"
  wait "$window" || true' sh "${command[@]}"
as_user cat "$home/window.out" | grep -q "^caption .*pager.tbl" ||
  fail "the window did not open the table file: $(as_user cat "$home/window.out")"

echo "== a port the user may not open"
touch "$scratch/ttyDENIED"
chmod 600 "$scratch/ttyDENIED"
chmod 711 "$scratch"
if as_user KXP40S_PORTS="$scratch/ttyDENIED" kxp40s-cli read -o "$home/x.tbl" 2>"$scratch/denied"; then
  fail "a read through a port the user may not open went through"
fi
grep -q "permission denied. Add your user to the group dialout" "$scratch/denied" ||
  fail "the search did not name the group: $(cat "$scratch/denied")"
if as_user kxp40s-cli read --port "$scratch/ttyDENIED" -o "$home/x.tbl" 2>"$scratch/denied"; then
  fail "a read through a named port the user may not open went through"
fi
grep -q "permission denied. Add your user to the group dialout" "$scratch/denied" ||
  fail "the named port did not name the group: $(cat "$scratch/denied")"
cat "$scratch/denied"

echo "== remove"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kxp40s
installed=""
while read -r file; do
  [ ! -e "$file" ] || fail "$file is left after the removal"
done <"$scratch/files"
[ ! -e /usr/share/mime/application/x-kxp40s-table.xml ] || fail "the MIME type is left"
echo "package check: $deb passed"
