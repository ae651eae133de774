# Cross build for 64-bit Windows with Debian's mingw-w64. The -posix compilers give std::thread
# and std::mutex, which GoogleTest needs; linking statically means the programs need no mingw
# DLLs beside them, under Wine or on a real Windows machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Hardening for everything built with this toolchain, Qt included: stack protection, and the
# checked string and memory functions of mingw-w64 (they work only when optimising). The link
# takes the flag too, for the stack protector's own library. One section per function and datum,
# so a link drops what it never calls; a static Qt does this for its own modules, and these flags
# extend it to the libraries it bundles.
set(TH_MINGW_FLAGS "-fstack-protector-strong -D_FORTIFY_SOURCE=2 -ffunction-sections -fdata-sections")
set(CMAKE_C_FLAGS_INIT "${TH_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TH_MINGW_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fstack-protector-strong")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fstack-protector-strong")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-fstack-protector-strong")

# Tests run under Wine unless the caller names another runner.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TH_WINE NAMES wine wine64)
  if(TH_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TH_WINE})
  endif()
endif()
