#!/usr/bin/env bash
# Builds libmdb from its source (Debian's source package of mdbtools, or its upstream tree at the
# same version) with clang's fuzzing coverage and AddressSanitizer + UndefinedBehaviorSanitizer,
# as a static library, so that the database fuzzer also sees into libmdb's page walk and row
# crack. Then configure a fuzzing tree with -DVARNEX_LIBMDB_PREFIX=OUT_DIR.
#   instrumented-libmdb.sh MDBTOOLS_SOURCE_DIR OUT_DIR
set -euo pipefail
src=$1 out=$2
mkdir -p "$out/include" "$out/lib" "$out/obj"
# The two headers configure would write: iconv on, no xlocale.h, glib's own header.
sed -e 's/@HAVE_ICONV_H@/1/' -e 's/@HAVE_XLOCALE_H@/0/' -e 's/@GLIB_INCLUDE_HEADER@/glib.h/' \
    -e 's/@LOCALE_T@/locale_t/' "$src/include/mdbtools.h.in" > "$out/include/mdbtools.h"
sed -e 's/@PACKAGE@/mdbtools/' -e 's/@VERSION@/1.0.0/' "$src/include/mdbver.h.in" > "$out/include/mdbver.h"
cp "$src/include/mdbprivate.h" "$src/include/mdbfakeglib.h" "$out/include/"
flags=(-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
       -DHAVE_GLIB=1 -DHAVE_ICONV=1 -DTLS=_Thread_local -DICONV_CONST= -I"$out/include" $(pkg-config --cflags glib-2.0))
objects=()
for file in catalog file table data dump backend money sargs index like write stats map props worktable options iconv \
            version rc4; do
  clang "${flags[@]}" -c "$src/src/libmdb/$file.c" -o "$out/obj/$file.o"
  objects+=("$out/obj/$file.o")
done
# The reader defines libmdb's property parser itself and calls libmdb's own under this name when no
# dynamic linker can find it.
objcopy --redefine-sym mdb_kkd_to_props=mdb_kkd_to_props_builtin "$out/obj/props.o"
rm -f "$out/lib/libmdb.a"
ar rcs "$out/lib/libmdb.a" "${objects[@]}"
echo "$out/lib/libmdb.a"
