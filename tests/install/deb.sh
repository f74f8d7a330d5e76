#!/usr/bin/env bash
# The Debian package, as a user gets it: built with CPack, installed with apt,
# the program run from its installed place, a layout opened the way a file
# manager opens it, then purged. Changes the machine, so it runs only as root
# with apt, and never touches a Tessaria package that was installed before.
#   deb.sh BUILD_DIR
# Exit 77: this machine cannot run it.
set -uo pipefail

build=$1
id=com.corvanel.Tessaria
layout_type=application/x-tessaria-layout
skip() { echo "skipped: $*" >&2; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in apt-get dpkg-deb dpkg-shlibdeps cpack pdfinfo flock; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done

# One run at a time on this machine: two would install and purge under each other.
exec 9>/tmp/tessaria-debian-package-test.lock
flock -w 600 9 || fail "another run of this test holds the lock"

installed() { dpkg-query -W -f='${Status}' tessaria 2>/dev/null | grep -q "install ok installed"; }
installed && skip "a tessaria package is installed already; leaving it alone"

work=$(mktemp -d)
launched=""
packages() { dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Status}\n' | sed -n 's/ installed$//p' | sort; }
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"; }
# Leaves the machine with the packages it had: tessaria and whatever its
# installation brought in (listed in $work/added) are purged.
touch "$work/added"
purge() {
  [ -n "$launched" ] && kill "$launched" 2>/dev/null
  dpkg-query -W tessaria >/dev/null 2>&1 && echo tessaria >>"$work/added"
  [ -s "$work/added" ] && apt_get purge $(sort -u "$work/added") >"$work/purge.log" 2>&1
  rm -rf "$work"
}
trap purge EXIT

# Build.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/tessaria_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { cat "$work/cpack.log"; fail "cpack made no package"; }
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Its dependencies were worked out from the libraries the programs use.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6printsupport6 libjpeg62-turbo libc6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library"
done
dpkg-deb -c "$deb" >"$work/contents" || fail "dpkg-deb -c"
grep -q "\./usr/share/man/man1/tessaria.1.gz$" "$work/contents" || fail "the package has no manual page"

# Install.
packages >"$work/before"
apt_get install --no-install-recommends "$deb" >"$work/apt.log" 2>&1
status=$?
packages | comm -13 "$work/before" - >"$work/added"
[ $status -eq 0 ] || { cat "$work/apt.log"; fail "apt-get install"; }
echo "installed: $(tr '\n' ' ' <"$work/added")"
installed || fail "the package is not installed after apt-get install"

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
sample=/usr/share/tessaria/samples/sample.tsd

# The programs run from where the package put them.
[ "$(command -v tessaria)" = /usr/bin/tessaria ] || fail "tessaria is not /usr/bin/tessaria"
# --version where the program's usage offers it (printed for a wrong call).
QT_QPA_PLATFORM=offscreen /usr/bin/tessaria --print >"$work/usage" 2>&1
if grep -q -- --version "$work/usage"; then
  QT_QPA_PLATFORM=offscreen /usr/bin/tessaria --version >"$work/version" 2>&1 || { cat "$work/version"; fail "tessaria --version"; }
  grep -qF "$(dpkg-deb -f "$deb" Version)" "$work/version" || { cat "$work/version"; fail "--version does not give the package's version"; }
else
  echo "the program has no --version yet"
fi
QT_QPA_PLATFORM=offscreen /usr/bin/tessaria --print-pdf "$work/sample.pdf" "$sample" || fail "tessaria --print-pdf"
[ "$(pdfinfo "$work/sample.pdf" | sed -n 's/^Pages: *//p')" = 2 ] || fail "the installed sample does not print as two pages"
/usr/bin/tessaria-convert --info /usr/share/tessaria/samples/mosaic.jpg >/dev/null || fail "tessaria-convert"

# The desktop knows the layout type and who opens it (the package's triggers
# updated the MIME database and the desktop entries' cache).
if command -v gio >/dev/null; then
  type=$(gio info -a standard::content-type "$sample" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = "$layout_type" ] || fail "the installed sample is $type"
  if command -v update-desktop-database >/dev/null; then
    # Once in six runs under load the entry was not the default yet; give
    # the desktop's caches a few seconds before calling it a failure.
    for _ in $(seq 1 10); do
      gio mime "$layout_type" >"$work/gio-mime" 2>&1
      grep -q "^Default application for .*$id.desktop" "$work/gio-mime" && break
      sleep 1
    done
    if ! grep -q "^Default application for .*$id.desktop" "$work/gio-mime"; then
      cat "$work/gio-mime"
      ls -la --time-style=full-iso /usr/share/applications/mimeinfo.cache
      grep "$id" /usr/share/applications/mimeinfo.cache
      fail "gio mime: $id.desktop is not the default"
    fi
  fi
  if command -v xdg-mime >/dev/null && command -v update-desktop-database >/dev/null; then
    got=$(xdg-mime query default "$layout_type")
    [ "$got" = "$id.desktop" ] || fail "xdg-mime query default gives '$got'"
  fi

  # Opening the file as a file manager does starts the installed program on
  # it: a process of /usr/bin/tessaria, new since, with the sample as argument.
  before=$(pgrep -x tessaria | sort)
  QT_QPA_PLATFORM=offscreen gio open "$sample" || fail "gio open"
  for _ in $(seq 1 50); do
    for pid in $(comm -13 <(echo "$before") <(pgrep -x tessaria | sort)); do
      [ "$(readlink "/proc/$pid/exe")" = /usr/bin/tessaria ] &&
        tr '\0' '\n' <"/proc/$pid/cmdline" | grep -qxF "$sample" && launched=$pid
    done
    [ -n "$launched" ] && break
    sleep 0.2
  done
  [ -n "$launched" ] || fail "gio open started no /usr/bin/tessaria on the sample"
  sleep 3
  kill -0 "$launched" 2>/dev/null || fail "tessaria ended right after it was started on the sample"
  kill "$launched"
  launched=""
fi

# Purge: nothing of the package is left, and the desktop forgets the type.
apt_get purge tessaria >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get purge"; }
dpkg-query -W tessaria >/dev/null 2>&1 && fail "dpkg still lists tessaria after the purge"
for path in /usr/bin/tessaria /usr/bin/tessaria-convert /usr/share/tessaria /usr/share/applications/$id.desktop \
  /usr/share/mime/packages/$id.xml /usr/share/metainfo/$id.metainfo.xml /usr/share/man/man1/tessaria.1.gz; do
  [ ! -e "$path" ] || fail "$path is left after the purge"
done
if command -v gio >/dev/null; then
  printf '\003\0\0\0\0\0\0\0\0\0\0\0' >"$work/left.tsd"
  head -c 1024 /dev/zero >>"$work/left.tsd"
  type=$(gio info -a standard::content-type "$work/left.tsd" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" != "$layout_type" ] || fail "the MIME database still knows $layout_type after the purge"
fi
echo "installed, ran and purged"
