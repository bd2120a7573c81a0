# Cross build for 64-bit Windows with MinGW-w64; the executables run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BMC_MINGW_TRIPLE x86_64-w64-mingw32)
# Debian installs the compilers under their thread-model names and points the
# plain names at one of them; take the plain name when it exists.
find_program(CMAKE_C_COMPILER NAMES ${BMC_MINGW_TRIPLE}-gcc ${BMC_MINGW_TRIPLE}-gcc-win32
                                    ${BMC_MINGW_TRIPLE}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${BMC_MINGW_TRIPLE}-g++ ${BMC_MINGW_TRIPLE}-g++-win32
                                      ${BMC_MINGW_TRIPLE}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${BMC_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BMC_MINGW_TRIPLE})
# A Qt for Windows given as a prefix path is searched too: packages are only
# looked for under the root paths.
if(CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test() runs the cross-built executables through Wine.
find_program(BMC_WINE NAMES wine wine64 wine-stable)
if(BMC_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${BMC_WINE})
endif()

# The runtime libraries go into each executable, so Wine needs no MinGW DLLs.
# A program that links Qt's DLLs shares their runtime DLLs instead: one C++
# runtime in the process, shipped beside it.
if(NOT BMC_MINGW_SHARED_RUNTIME)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()
