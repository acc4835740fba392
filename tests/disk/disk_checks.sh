# Checks of a driver disk package, shared by the Linux and the Windows package
# tests. Source it after a frame that gives check (check <what> <command...>)
# and root (the source tree).

# The package is there and was made after the programs it should hold.
disk_check_package() {  # disk_check_package <package> <program>...
  local package=$1 program
  shift
  if [ ! -f "$package" ]; then
    echo "FAIL no package $package (make it with cpack in its build folder; see README)"
    return 1
  fi
  for program in "$@"; do
    if [ "$package" -ot "$program" ]; then
      echo "FAIL $package is older than $program: make it again with cpack"
      return 1
    fi
  done
}

# Unpacks a package into a fresh folder and prints the driver disk folder in
# it: the one folder the package holds.
disk_unpack() {  # disk_unpack <package> <folder>
  local entries
  rm -rf -- "$2" && mkdir -p -- "$2" || return 1
  (cd "$2" && cmake -E tar xf "$1") || { echo "FAIL could not unpack $1" >&2; return 1; }
  entries=("$2"/*)
  if [ ${#entries[@]} -ne 1 ] || [ ! -d "${entries[0]}" ]; then
    echo "FAIL the package holds more than one folder: ${entries[*]##*/}" >&2
    return 1
  fi
  echo "${entries[0]}"
}

# The disk holds the three programs under their disk names and the data files
# of disk/ in the source tree, byte for byte, and nothing else; the Windows
# disk also the 64-bit programs and the data files again in AMD64.
disk_check_contents() {  # disk_check_contents <disk folder> [windows]
  local listing folder f folders=. expected="BUSCLEAN.EXE BUSPROBE.EXE BUSVIEW.EXE Busprobe.dat Unins.dat "
  if [ "${2:-}" = windows ]; then
    folders=". AMD64"
    expected="AMD64 $(printf 'AMD64/%s ' $expected)$expected"
  fi
  listing=$(cd "$1" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
  check "the disk holds ${expected% }, nothing else ($listing)" [ "$listing" = "$expected" ]
  for folder in $folders; do
    for f in Busprobe.dat Unins.dat; do
      check "the disk's $folder/$f is the one in disk/" cmp -s "$root/disk/$f" "$1/$folder/$f"
    done
  done
}

# Fingerprints of every file on a disk, to tell that nothing on it changed.
disk_fingerprint() {  # disk_fingerprint <disk folder>
  (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
