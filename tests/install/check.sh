#!/usr/bin/env bash
# Checks of the installed program, one per ctest test:
#   check.sh STEP SOURCE_DIR BUILD_DIR PREFIX
# setup installs the build into PREFIX and cleanup removes it; the other steps
# look at what setup installed. Exit 77: a tool the step needs is missing.
set -uo pipefail

step=$1 source=$2 build=$3 prefix=$4
id=com.corvanel.Tessaria
layout_type=application/x-tessaria-layout
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed" >&2; exit 77; }
  done
}
python() { /usr/bin/python3 "$@"; }

# The full paths of the pictures a layout document names (its strings that
# end in a picture's extension).
layout_pictures() { strings -n 6 "$1" | grep -E '^/.*\.jpg$' | sort -u; }

# The program as a batch job: no window, its own empty settings.
run_tessaria() {
  mkdir -p "$work/config"
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$@"
}

pdf_pages() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }

setup() {
  rm -rf "$prefix"
  cmake --install "$build" --prefix "$prefix" >"$work/log" 2>&1 || { cat "$work/log"; fail "cmake --install"; }
}

tree() {
  need identify strings
  local samples=$prefix/share/tessaria/samples
  local pictures
  pictures=$(layout_pictures "$samples/sample.tsd")
  [ -n "$pictures" ] || fail "the installed sample layout names no pictures"
  # The layout names the installed pictures, not the build folder's.
  while read -r p; do
    case $p in "$samples"/*) ;; *) fail "the installed sample layout names $p" ;; esac
    [ -f "$p" ] || fail "the installed sample layout names $p, which was not installed"
  done <<<"$pictures"
  ! grep -qF "$build/samples/" "$samples/sample.tsd" || fail "the installed sample layout points into the build folder"

  # Exactly these files, nothing else (no libraries, tests or build files).
  {
    printf '%s\n' bin/tessaria bin/tessaria-convert \
      share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml \
      share/icons/hicolor/scalable/apps/$id.svg share/man/man1/tessaria.1.gz \
      share/tessaria/tessaria.hlp share/tessaria/samples/sample.tsd
    for size in 16 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done
    sed "s|^$prefix/||" <<<"$pictures"
  } | sort >"$work/expected"
  (cd "$prefix" && find . -type f -o -type l) | sed 's|^\./||' | sort >"$work/installed"
  diff -u "$work/expected" "$work/installed" || fail "the installed tree differs from the expected one"

  for size in 16 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")
    [ "$got" = "${size}x$size" ] || fail "the ${size}x$size icon is $got"
  done
  [ -x "$prefix/bin/tessaria" ] && [ -x "$prefix/bin/tessaria-convert" ] || fail "the programs are not executable"
  gzip -t "$prefix/share/man/man1/tessaria.1.gz" || fail "the manual page is no gzip file"

  # The installed program prints the installed sample.
  need pdfinfo
  run_tessaria "$prefix/bin/tessaria" --print-pdf "$work/sample.pdf" "$samples/sample.tsd" ||
    fail "the installed program could not print the installed sample layout"
  [ "$(pdf_pages "$work/sample.pdf")" = 2 ] || fail "the installed sample does not print as two pages"
}

desktop_entry() {
  need desktop-file-validate
  local entry=$prefix/share/applications/$id.desktop
  desktop-file-validate "$entry" >"$work/out" 2>&1
  local status=$?
  [ $status -eq 0 ] && [ ! -s "$work/out" ] || { cat "$work/out"; fail "desktop-file-validate"; }

  value() { sed -n "s/^$1=//p" "$entry"; }
  [ "$(value Exec)" = "tessaria %f" ] || fail "Exec is '$(value Exec)'"
  [ -x "$prefix/bin/$(value TryExec)" ] || fail "TryExec names no installed program"
  [[ ";$(value Categories)" == *";Graphics;"* ]] || fail "not listed under Graphics"
  icon=$(value Icon)
  [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no installed icon named $icon"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"

  # Every type it opens is ours or one the desktop's MIME database knows, by
  # its own name rather than an alias (a misspelt type matches no file).
  types=$(value MimeType | tr ';' '\n' | sed '/^$/d')
  grep -qx "$layout_type" <<<"$types" || fail "MimeType lacks $layout_type"
  [ -f /usr/share/mime/types ] || { echo "skipped the picture types: no MIME database" >&2; return; }
  while read -r t; do
    [ "$t" = "$layout_type" ] && continue
    grep -qx "$t" /usr/share/mime/types || fail "MimeType names $t, which the MIME database does not know"
  done <<<"$types"
}

mime_type() {
  need xmllint update-mime-database gio
  local package=$prefix/share/mime/packages/$id.xml
  xmllint --noout "$package" || fail "xmllint"

  # A data folder of our own, as a desktop with the program installed there has it.
  local data=$work/share
  mkdir -p "$data/mime/packages" "$data/applications"
  cp "$package" "$data/mime/packages/"
  cp "$prefix/share/applications/$id.desktop" "$data/applications/"
  export XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/config"
  mkdir -p "$work/home" "$work/config"
  update-mime-database "$data/mime" >"$work/out" 2>&1 || { cat "$work/out"; fail "update-mime-database"; }
  [ ! -s "$work/out" ] || { cat "$work/out"; fail "update-mime-database complains"; }

  # Files by name and, without a name to go by, by their first bytes.
  local f=$work/files
  mkdir -p "$f"
  cp "$build/samples/sample.tsd" "$f/layout.tsd"
  cp "$build/samples/sample.tsd" "$f/layout-without-extension"
  { printf '\002\0\0\0\001\0\0\0\0\0\0\0'; head -c 1024 /dev/zero; } >"$f/generation-2"
  { printf '1.00   1   0'; head -c 1024 /dev/zero; } >"$f/generation-1"
  printf '\003ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789' >"$f/starts-with-3"
  { printf '\003\0\0\0\0\0\001\0\0\0\0\0'; head -c 1024 /dev/zero; } >"$f/huge-page-count"
  printf '1.00 2.00 3.00\n4.00 5.00 6.00\n' >"$f/numbers"
  printf 'not a layout at all\n' >"$f/notes.tsd"
  content_type() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
  while read -r name expected; do
    got=$(content_type "$f/$name")
    if [ "$expected" = layout ]; then
      [ "$got" = "$layout_type" ] || fail "$name is $got, not $layout_type"
    else
      [ "$got" != "$layout_type" ] || fail "$name is taken for a layout"
    fi
  done <<'EOF'
layout.tsd layout
layout-without-extension layout
generation-2 layout
generation-1 layout
notes.tsd layout
starts-with-3 other
huge-page-count other
numbers other
EOF

  # The desktop's view: the entry opens layouts by default (GIO takes an
  # entry only when its TryExec program is on the PATH).
  if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications" || fail "update-desktop-database"
    PATH="$prefix/bin:$PATH" gio mime "$layout_type" >"$work/out" 2>&1
    grep -q "^Default application for .*$id.desktop" "$work/out" || { cat "$work/out"; fail "gio mime: $id.desktop is not the default"; }
    if command -v xdg-mime >/dev/null; then
      got=$(xdg-mime query default "$layout_type")
      [ "$got" = "$id.desktop" ] || fail "xdg-mime query default gives '$got'"
      got=$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$f/layout.tsd")
      [ "$got" = "$layout_type" ] || fail "xdg-mime query filetype gives '$got'"
    fi
  fi
}

appstream() {
  need appstreamcli
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not launch $id.desktop"
}

manual() {
  need man col
  local page=$prefix/share/man/man1/tessaria.1.gz
  MANWIDTH=100 man --warnings -E ascii -l "$page" 2>"$work/warnings" | col -b >"$work/text" || fail "man"
  [ ! -s "$work/warnings" ] || { cat "$work/warnings"; fail "the manual page has formatting warnings"; }
  # Every option the program's usage names is documented.
  run_tessaria "$build/tessaria" --print >/dev/null 2>"$work/usage"
  options=$(grep -oE -- '--[a-z][a-z-]*' "$work/usage" | sort -u)
  [ -n "$options" ] || { cat "$work/usage"; fail "no usage text to compare with"; }
  while read -r option; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" "$work/text" || fail "the manual page lacks $option"
  done <<<"$options"
}

sample() {
  need pdfinfo pdftoppm strings
  [ -x /usr/bin/python3 ] && /usr/bin/python3 -c 'import PIL' 2>/dev/null || { echo "skipped: no Pillow" >&2; exit 77; }
  local layout=$build/samples/sample.tsd
  [ -f "$layout" ] || fail "the build made no sample layout"
  while read -r p; do
    [ -f "$p" ] || fail "the sample layout names $p, which the build did not draw"
  done < <(layout_pictures "$layout")
  run_tessaria "$build/tessaria" --print-pdf "$work/sample.pdf" "$layout" 2>"$work/err" ||
    { cat "$work/err"; fail "the sample layout does not print"; }
  [ "$(pdf_pages "$work/sample.pdf")" = 2 ] || fail "the sample layout is not two pages"
  # Page 2 holds the picture taken with the camera on its side; turned in the
  # layout, it must print upright: sky across its top, sea and rocks below.
  pdftoppm -r 40 -f 2 -l 2 -png "$work/sample.pdf" "$work/page"
  python - "$work"/page*.png <<'EOF' || fail "the turned picture does not print upright"
import sys
from PIL import Image

page = Image.open(sys.argv[1]).convert("RGB")
w, h = page.size
px = page.load()
def inked(x, y):
    r, g, b = px[x, y]
    return min(r, g, b) < 235
# The picture is the large block in the left part of the page: the rows and
# columns there that are mostly ink (captions and text are sparse).
left = int(w * 0.6)
rows = [y for y in range(h) if sum(inked(x, y) for x in range(left)) > left * 0.3]
top, bottom = min(rows), max(rows)
cols = [x for x in range(left) if sum(inked(x, y) for y in range(top, bottom + 1)) > (bottom - top) * 0.6]
x0, x1 = min(cols), max(cols)
height, width = bottom - top + 1, x1 - x0 + 1
print(f"picture at {x0},{top} size {width}x{height}")
assert height > width * 1.3, "the picture is not upright (taller than wide)"
def mean(ya, yb, xa, xb):
    pixels = [px[x, y] for y in range(ya, yb) for x in range(xa, xb)]
    return [sum(p[i] for p in pixels) / len(pixels) for i in range(3)]
blocks = 6
for part, (ya, yb) in {"top": (0.02, 0.1), "bottom": (0.9, 0.98)}.items():
    for k in range(blocks):
        xa = x0 + width * k // blocks
        r, g, b = mean(top + int(height * ya), top + int(height * yb), xa, xa + width // blocks)
        sky = b > 170 and b > r + 40
        print(part, k, [round(v) for v in (r, g, b)], "sky" if sky else "")
        assert sky == (part == "top"), f"{part} block {k} is {'sky' if sky else 'no sky'}"
EOF
}

cleanup() { rm -rf "$prefix"; }

case $step in
  setup | tree | desktop_entry | mime_type | appstream | manual | sample | cleanup) "$step" ;;
  *) fail "no step $step" ;;
esac
