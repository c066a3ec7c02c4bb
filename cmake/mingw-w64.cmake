# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads, so
# that std::thread and std::mutex work). Programs link libgcc, libstdc++ and
# winpthread statically: a program file needs nothing beside it but Windows'
# own DLLs. Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# CMAKE_PREFIX_PATH (the static Qt, the staged test libraries) is searched
# inside these roots too; programs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A program keeps one copy of each inline function (a template's instance)
# from whichever object the linker met first. GCC's interprocedural register
# allocation lets a caller rely on the registers its own copy left alone,
# which on this target it does even for such shared copies: Qt's
# QRandomGenerator crashed when the copy of std::mt19937 it called was one
# compiled with the program's options. Qt and the program go without it.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
