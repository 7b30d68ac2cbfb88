#!/usr/bin/env bash
# Configures and builds the 32-bit Windows tree as a Windows machine would: a MinGW found by its
# compiler names alone, and every outside file (stb_image.h, DevIL's headers, GoogleTest) taken
# from copies in another folder. Where a private mount namespace is allowed, the original folders
# (and the font tool's) are hidden for the whole configure and build, so any path into them
# fails; in any case the generated files must not name them.
#   from_copies_test.sh SOURCE WORK STB_DIR DEVIL_INCLUDE_DIR GTEST_SOURCE [FONT_TTF]
set -euo pipefail
source=$1 work=$2 stb=$3 devil=$4 gtest=$5 font=${6:-}
originals=("$stb" "$devil/IL" "$gtest")
[ -n "$font" ] && originals+=("$(dirname "$font")")

rm -rf "$work"
copies=$work/outside
mkdir -p "$copies/stb" "$copies/devil/IL"
cp "$stb/stb_image.h" "$copies/stb/"
cp "$devil"/IL/il.h "$devil"/IL/ilu.h "$devil"/IL/ilut.h "$copies/devil/IL/"
cp -r "$gtest" "$copies/googletest"
# The Wine runner of a cross-built tree registers Wine's Tahoma from a folder of its own too.
mkdir -p "$copies/wine-fonts"
[ -n "$font" ] && cp "$(dirname "$font")"/tahoma*.ttf "$copies/wine-fonts/"

cat >"$work/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
find_program(CMAKE_C_COMPILER NAMES i686-w64-mingw32-gcc-posix i686-w64-mingw32-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES i686-w64-mingw32-g++-posix i686-w64-mingw32-g++ REQUIRED)
EOF

# The programs, the image runtime's DLLs, a GoogleTest program and a test DLL on DevIL's headers.
cat >"$work/build.sh" <<EOF
set -e
$(for dir in "${originals[@]}"; do printf '[ -z "$HIDE" ] || mount -t tmpfs none %q\n' "$dir"; done)
cmake -S $(printf %q "$source") -B $(printf %q "$work/tree") \\
      -DCMAKE_TOOLCHAIN_FILE=$(printf %q "$work/toolchain.cmake") -DGLYPHSTORM_TESTS=ON \\
      -DGLYPHSTORM_STB_DIR=$(printf %q "$copies/stb") -DDEVIL_INCLUDE_DIR=$(printf %q "$copies/devil") \\
      -DGLYPHSTORM_GTEST_SOURCE=$(printf %q "$copies/googletest") \\
      -DGLYPHSTORM_WINE_FONTS=$(printf %q "$copies/wine-fonts") >/dev/null
cmake --build $(printf %q "$work/tree") -j 2 --target glyphstorm glyphstorm2d imagelib_dll_tests \\
      scripted_devil
EOF

if unshare --user --map-root-user --mount true 2>/dev/null; then
  echo "originals hidden: ${originals[*]}"
  HIDE=1 unshare --user --map-root-user --mount bash "$work/build.sh"
else
  echo "no private mount namespace here: the originals stay visible, only the search below checks"
  HIDE= bash "$work/build.sh"
fi

for file in glyphstorm.exe glyphstorm2d.exe DevIL.dll ILU.dll ILUT.dll imagelib_dll_tests.exe; do
  [ -f "$work/tree/bin/$file" ] || { echo "not built: $file"; exit 1; }
done
named=$(grep -rIlF "${originals[@]/#/-e}" "$work/tree" || true)
if [ -n "$named" ]; then
  echo "the Windows tree names an original folder (${originals[*]}):"
  grep -rInF "${originals[@]/#/-e}" "$work/tree" | head -n 20
  exit 1
fi
echo "built from copies; no original named"
