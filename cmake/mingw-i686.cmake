# 32-bit Windows with mingw-w64: cross-compiled on Debian (the posix-thread variant, so
# GoogleTest builds), or built natively in MSYS2's MINGW32 shell, where the tools have
# their plain names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(CMAKE_HOST_WIN32)
  set(CMAKE_C_COMPILER gcc)
  set(CMAKE_CXX_COMPILER g++)
  set(CMAKE_RC_COMPILER windres)
  # The archiver that knows link-time-optimised objects.
  set(CMAKE_AR gcc-ar)
  set(CMAKE_RANLIB gcc-ranlib)
else()
  set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
  set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
  set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
  set(CMAKE_AR i686-w64-mingw32-gcc-ar-posix)
  set(CMAKE_RANLIB i686-w64-mingw32-gcc-ranlib-posix)
  set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
