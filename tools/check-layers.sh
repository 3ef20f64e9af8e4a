#!/bin/sh
# Checks that includes only go downward between the layers of the tree:
#   include/  <  platform/*  <  libs/*, ct/  <  app/
# Within platform/ each stand-in may include only the stand-ins listed for it
# below; the libraries include no other library, the control library nothing
# of the libraries, and its core nothing of its shell controls (ct/shell/).
# Tests, benchmarks and tools may include any layer.
# Prints each upward include as "file: includes header (layer -> layer)" and
# exits 1 when there is one.
set -eu
cd "${1:-$(dirname "$0")/..}"

# What each platform stand-in may include besides itself.
platform_allowed='
resource:
win:
log: win
vcl: win resource
shell: win resource
gdiplus: win
ddraw: win
xml:
registry: win
dxdiag:
outside: win log
'
# Upward includes known and still to be removed; each line "from -> to".
known_upward='
'

layer_dirs="include platform libs ct app"
{
  printf '%s\n' "$platform_allowed" | sed '/^$/d; s/^/ALLOW /'
  printf '%s\n' "$known_upward" | sed '/^$/d; s/^/KNOWN /'
  find $layer_dirs -name '*.h' | sed 's/^/HEADER /'
  find $layer_dirs \( -name '*.h' -o -name '*.cpp' \) | while read -r file; do
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
      while read -r header; do printf 'INCLUDE %s %s\n' "$file" "$header"; done
  done
} | awk '
function layer(path,   n, part) {
  n = split(path, part, "/")
  if (part[1] == "platform" || part[1] == "libs") return part[1] "/" part[2]
  if (part[1] == "ct") return (part[2] == "shell") ? "ct/shell" : "ct"
  return part[1]
}
function dir(path) { sub(/\/[^\/]*$/, "", path); return path }
function base(path) { sub(/.*\//, "", path); return path }
function allowed(from, to,   f, t) {
  if (from == to || to == "include") return 1
  if (from == "app") return 1
  if ((from, to) in known) return 1
  split(from, f, "/"); split(to, t, "/")
  if (f[1] == "platform") return t[1] == "platform" && ((f[2], t[2]) in platformAllowed)
  if (f[1] == "libs" || from == "ct") return t[1] == "platform"
  if (from == "ct/shell") return t[1] == "platform" || to == "ct"
  return 0
}
$1 == "ALLOW" { from = $2; sub(/:$/, "", from); for (i = 3; i <= NF; ++i) platformAllowed[from, $i] = 1; next }
$1 == "KNOWN" { known[$2, $4] = 1; next }
$1 == "HEADER" { own[$2] = 1; l = layer($2); b = base($2); if (!((b, l) in seen)) { seen[b, l] = 1; layersOf[b] = layersOf[b] " " l }; next }
$1 == "INCLUDE" {
  file = $2; header = $3; from = layer(file)
  if ((dir(file) "/" header) in own) next          # beside the file
  split(header, part, "/")
  if (header ~ /\// && part[1] == "qelo") targets = " include"
  else if (header ~ /\// && isPlatform(part[1])) targets = " platform/" part[1]
  else targets = layersOf[base(header)]
  if (targets == "") next                          # a system or generated header
  n = split(targets, candidate, " ")
  for (i = 1; i <= n; ++i) if (allowed(from, candidate[i])) next
  printf "%s: includes %s (%s ->%s)\n", file, header, from, targets
  bad = 1
}
function isPlatform(name,   h) {
  if (name in platformChecked) return platformChecked[name]
  platformChecked[name] = 0
  for (h in own) if (index(h, "platform/" name "/") == 1) { platformChecked[name] = 1; break }
  return platformChecked[name]
}
END {
  if (bad) { print "includes must only go downward (see docs/architecture.md)"; exit 1 }
  print "layers: every include goes downward"
}
'
