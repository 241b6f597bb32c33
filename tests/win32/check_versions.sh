#!/usr/bin/env bash
# Checks that each program carries version information with the build's version, as
# Explorer's Details tab shows it:   check_versions.sh VERSION PROGRAM.exe...
# The resource keeps its strings in UTF-16: "FileVersion" and "ProductVersion", each
# followed by VERSION.0 (major.minor.patch.build).
set -uo pipefail
version=$1
shift
python3 - "$version" "$@" <<'PY'
import sys
version, programs = sys.argv[1], sys.argv[2:]
want = (version + ".0").encode("utf-16-le")
failures = 0
for program in programs:
    data = open(program, "rb").read()
    for key in ("FileVersion", "ProductVersion"):
        at = data.find(key.encode("utf-16-le") + b"\0\0")
        # The value follows its key within a few bytes of padding.
        if at < 0 or data.find(want, at, at + 64 + len(want)) < 0:
            print(f"FAIL {program}: no {key} {version}.0 in its version information")
            failures += 1
if failures:
    sys.exit(1)
print(f"ok: version {version} in {len(programs)} program(s)")
PY
