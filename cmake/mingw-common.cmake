# What both Windows toolchains share: the POSIX-threads flavour of mingw-w64
# (std::thread and GoogleTest need it) for KOLT_MINGW (the target triple),
# linked fully static, its programs run under Wine by wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KOLT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOLT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KOLT_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOLT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
