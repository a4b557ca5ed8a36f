# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZUVORA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZUVORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUVORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZUVORA_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; programs of the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZUVORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, so the programs run without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)

# Prefixes given on the command line (the unpacked Qt for Windows) hold target files too.
foreach(prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH "${prefix}")
endforeach()
