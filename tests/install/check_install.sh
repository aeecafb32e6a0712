#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the prefix, and checks
# that it stands on its own: zul runs from it, and a C host (pkg-config)
# and the C++ host example (find_package) build against it and run.
#   check_install.sh BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -euo pipefail
build=$1 source=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch"
cmake --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/prefix"   # nothing may remember where it was installed
prefix=$scratch/prefix

fail() { echo "check_install: $*" >&2; exit 1; }

for f in bin/zul bin/g2zu lib/zul.so.3 include/zu.h include/zustd.h include/zu_init.zu \
         include/zu_reference.txt \
         lib/pkgconfig/zul.pc lib/cmake/zul/zulConfig.cmake share/man/man1/zul.1 \
         share/man/man1/g2zu.1; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
if readelf -d "$prefix/bin/zul" | grep -q "$build"; then
  fail "zul's RUNPATH names the build folder"
fi
[ "$(readelf -d "$prefix/lib/zul.so.3" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')" = zul.so.3 ] \
  || fail "zul.so.3 has the wrong soname"

cat > "$scratch/sum.zu" <<'ZU'
#include <zustd.h>
main() { println("sum ", sumc(<1;2;3>)); }
ZU
out=$(cd "$scratch" && env -u ZU3PATH "$prefix/bin/zul" -b sum.zu)
[ "$(echo $out)" = "sum 6.0000" ] || fail "zul from the prefix printed: $out"
"$prefix/bin/zul" --version | grep -q "Zu version 3.40" || fail "zul --version"
# ?name at the prompt reads the reference that is installed beside zustd.h.
entry=$(printf '?olsc\n#quit\n' | (cd "$scratch" && env -u ZU3PATH "$prefix/bin/zul" -b -i))
[[ "$entry" == *"olsc(y, x, &b [, &ixx"* ]] || fail "?olsc from the prefix shows no reference entry"

# A C host through pkg-config.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
cc -Wall -Werror $(pkg-config --cflags zul) "$source/tests/install/c_host.c" \
   -o "$scratch/c_host" $(pkg-config --libs zul)
out=$(cd "$scratch" && env -u ZU3PATH ./c_host sum.zu)
[ "$(echo $out)" = "sum 6.0000 c_host: ran" ] || fail "C host printed: $out"

# The C++ host example through find_package.
cmake -S "$source/examples/host" -B "$scratch/host-build" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null
cmake --build "$scratch/host-build" >/dev/null
out=$(cd "$source/examples/host" && env -u ZU3PATH "$scratch/host-build/host")
[ "$out" = "intercept 1.0400, slope 1.9800, residual variance 0.01200" ] \
  || fail "C++ host printed: $out"
echo "check_install: the installed tree stands on its own"
