#!/usr/bin/env bash
# Builds the Windows programs and packs them, with the batch files the host runs and the
# Japanese readme, into dist/t905-<version>-win64.zip (one folder t905\ inside, to unpack
# under the host's folder). The zip is checked before it is put in place.
#   bash scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

version=$(sed -n -E 's/^project\(t905 VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
if [[ -z $version ]]; then
  echo "package: no version in CMakeLists.txt's project()" >&2
  exit 1
fi

echo "package: building the windows preset"
cmake --preset windows >/dev/null
cmake --build --preset windows --target t905 t905cli

build=$root/build/windows
gui=$build/app/win32/t905.exe
cli=$build/tools/t905cli.exe
for exe in "$gui" "$cli"; do
  [[ -f $exe ]] || { echo "package: $exe was not built" >&2; exit 1; }
done

mkdir -p dist
work=$(mktemp -d "$root/dist/.package.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage=$work/t905
mkdir -p "$stage"
cp "$gui" "$cli" "$stage/"
# The batch files and readme are kept in the repository as Shift-JIS with CR LF.
cp packaging/t905.bat packaging/t905_tab1.bat packaging/readme.txt "$stage/"
x86_64-w64-mingw32-strip "$stage/t905.exe" "$stage/t905cli.exe"
# Same inputs, same zip: the time stamps come from the last commit, not from the build.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
find "$stage" -exec touch -h -d "@$stamp" {} +
zipname=t905-$version-win64.zip
(cd "$work" && TZ=UTC zip -q -X -r "$zipname" t905)

# Check what a user will unpack, not the staging folder.
check=$work/check
mkdir -p "$check"
(cd "$check" && unzip -q "$work/$zipname")
listed=$(cd "$check" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./t905/readme.txt ./t905/t905.bat ./t905/t905.exe ./t905/t905_tab1.bat ./t905/t905cli.exe "
if [[ $listed != "$expected" ]]; then
  echo "package: the zip holds '$listed', expected '$expected'" >&2
  exit 1
fi
bash tests/win32/check_package_texts.sh "$check/t905" "$version"
bash tests/win32/check_versions.sh "$version" "$check/t905/t905.exe" "$check/t905/t905cli.exe"
bash tests/win32/check_imports.sh x86_64-w64-mingw32-objdump "$check/t905/t905.exe" "$check/t905/t905cli.exe"

# Put in place only when complete and checked: never a half-written zip under the name.
mv -f "$work/$zipname" "dist/$zipname"
echo "package: dist/$zipname ($(stat -c %s "dist/$zipname") bytes)"
