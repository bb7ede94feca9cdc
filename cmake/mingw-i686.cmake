# 32-bit Windows, the program shipped.
set(KOLT_MINGW i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The Wine prefix the tests run in (tools/desktop.sh).
set(KOLT_WINEARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
