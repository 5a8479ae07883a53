# Cross-building the Qt-free part of Tarvo (the libraries, qtvctl.exe, qtvexport.exe and their
# tests) for 64-bit Windows with MinGW-w64 on Debian, the tests run under Wine:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake
# The -posix compilers by name: the -win32 thread model has no std::mutex or std::thread, and
# once installed it takes over the plain x86_64-w64-mingw32-g++ name.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVO_MINGW_PREFIX}-windres)

# A Qt built for MinGW may be added with -DTARVO_WINDOWS_QT_PREFIX=<its install prefix>.
set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW_PREFIX} ${TARVO_WINDOWS_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows programs through Wine (Debian puts the 64-bit loader here).
find_program(TARVO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT TARVO_WINE64)
  find_program(TARVO_WINE64 NAMES wine64 wine)
endif()
if(TARVO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVO_WINE64})
endif()

# The C and C++ runtimes linked in, so that no libstdc++-6.dll, libgcc_s_seh-1.dll or
# libwinpthread-1.dll has to travel with the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
