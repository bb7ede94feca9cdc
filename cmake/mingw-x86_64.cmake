# 64-bit Windows: the same sources and flags as cmake/mingw-i686.cmake, for
# the tests under the 64-bit Wine on a machine that starts no 32-bit program.
# The program shipped is the i686 one.
set(KOLT_MINGW x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The Wine prefix the tests run in (tools/desktop.sh).
set(KOLT_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
