#!/usr/bin/env bash
# Turns a demo machine image (tools/demo-image) into the crash trial's start
# state: a system.reg of well over 1.5 MB in Wine's format, where the
# adapter's keys are a small part spread through the file, and a removal
# script whose registry entries make a full run delete about twenty keys.
#
#   trial_image.sh <image-folder>
set -euo pipefail
image=$1
reg="$image/prefix/system.reg"
script="$image/disk/Unins.dat"
if [ ! -f "$reg" ] || [ ! -f "$script" ]; then echo "$image is not a demo image" >&2; exit 2; fi

# --- unrelated keys: class registrations with every kind of value line ------
# pad <first> <count>: <count> object keys, each with a server subkey, in
# Wine's text format (hex data over continuation lines, escapes in strings).
pad() {
  awk -v first="$1" -v count="$2" 'BEGIN {
    for (i = first; i < first + count; i++) {
      id = sprintf("{%08X-%04X-11D0-A5B1-00A0C91E%04X}", i * 2654435761 % 4294967296, i % 65536, i % 65521)
      printf "\n[Software\\\\Classes\\\\CLSID\\\\%s] 1700000000\n#time=1da17e3c4a1d000\n", id
      printf "@=\"Trial object %d\"\n", i
      printf "\"AppID\"=\"%s\"\n", id
      printf "\"Flags\"=dword:%08x\n", i
      printf "\"Note\"=\"a \\\"quoted\\\" word and a back\\\\slash\"\n"
      printf "\"Data\"=hex:"
      for (b = 0; b < 48; b++) {
        printf "%02x%s", (i + b * 7) % 256, (b < 47 ? "," : "")
        if (b == 22) printf "\\\n  "
      }
      printf "\n"
      printf "\n[Software\\\\Classes\\\\CLSID\\\\%s\\\\InprocServer32] 1700000000\n#time=1da17e3c4a1d000\n", id
      printf "@=str(2):\"%%SystemRoot%%\\\\system\\\\trial%04d.dll\"\n", i % 10000
      printf "\"ThreadingModel\"=\"Apartment\"\n"
    }
  }'
}

# --- more of the adapter's keys ----------------------------------------------
serial=100
key() {  # key <path> [name value]...: one section, as tools/demo-image writes them
  local path=${1//\\/\\\\}; shift
  local t=$((1700000000 + serial)); serial=$((serial + 1))
  printf '\n[%s] %d\n#time=%x\n' "$path" "$t" $((t * 10000000 + 116444736000000000))
  while [ $# -ge 2 ]; do
    printf '"%s"="%s"\n' "$1" "${2//\\/\\\\}"
    shift 2
  done
}
adapter_devices() {  # further adapter models and a second instance of the first
  key 'Enum\USB\VID_0E4B&PID_0204\5&2C3D&0&2' DeviceDesc "USB to Serial Adapter" Driver 'QRXSERIAL\0001'
  local n
  for n in 10 11 12 13 14 15 16 17 18 19 1A; do
    key "Enum\\USB\\VID_0E4B&PID_02$n\\6&${n}AB&0&1" DeviceDesc "USB to Serial Adapter" Driver "QRXSERIAL\\00$n"
  done
}
adapter_others() {
  key 'Enum\QRXPORTUSB\QRXUSB\0000' DeviceDesc "USB Adapter Bus"
  key 'System\CurrentControlSet\Services\Class\QRXLPT\0000' DriverDesc "USB Printer Port"
  key 'System\CurrentControlSet\Services\Class\QRXLPT\0001' DriverDesc "USB Printer Port"
  key 'System\CurrentControlSet\Control\Print\Monitors\QRX LPT Monitor' Driver "qrxlpt.dll"
  key 'System\CurrentControlSet\Control\Print\Ports\QRXLPT'
}

# Header, padding, the demo's sections, the adapter's further keys with more
# padding between them, and padding at the end. A 64-bit prefix header: the
# trial reads the file with the 64-bit Wine loader.
{
  sed -n '1,/^#arch=/p' "$reg" | sed 's/^#arch=win32$/#arch=win64/'
  pad 0 800
  sed '1,/^#arch=/d' "$reg"
  pad 800 900
  adapter_devices
  pad 1700 600
  adapter_others
  pad 2300 700
} > "$reg.new"
mv "$reg.new" "$reg"
size=$(stat -c %s "$reg")
[ "$size" -ge 1572864 ] || { echo "system.reg is only $size bytes" >&2; exit 1; }

# --- the removal script: two more registry entries ---------------------------
# They name the printer port's class, port and monitor keys; the 145 fields
# stay 145 (the blank tail gives way).
mapfile -t fields < <(tr -d '\r' < "$script")
out=()
for f in "${fields[@]}"; do
  [ "$f" = "[Delete System]" ] && out+=("QRXLPT" "QRX LPT Monitor")
  out+=("$f")
done
printf '%s\r\n' "${out[@]:0:145}" > "$script"
