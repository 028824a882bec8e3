# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, for std::thread).
# The libraries come from the Windows SDK folder in ZANFOLD_WINDOWS_SDK (tools/windows/build-sdk.sh);
# test executables run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-gcc-ar-posix)
set(CMAKE_RANLIB x86_64-w64-mingw32-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $ENV{ZANFOLD_WINDOWS_SDK})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

find_program(ZANFOLD_WINE NAMES wine wine64)
if(ZANFOLD_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANFOLD_WINE})
endif()
