# Windows with mingw-w64, for the processor that the including toolchain file names
# in PELK_MINGW_CPU (i686 or x86_64): cross-compiled on Debian (the posix-thread
# variant, so GoogleTest builds), or built natively in MSYS2's MINGW32 or MINGW64
# shell, where the tools have their plain names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PELK_MINGW_CPU})
if(CMAKE_HOST_WIN32)
  set(CMAKE_C_COMPILER gcc)
  set(CMAKE_CXX_COMPILER g++)
  set(CMAKE_RC_COMPILER windres)
  # The archiver that knows link-time-optimised objects.
  set(CMAKE_AR gcc-ar)
  set(CMAKE_RANLIB gcc-ranlib)
else()
  set(triple ${PELK_MINGW_CPU}-w64-mingw32)
  set(CMAKE_C_COMPILER ${triple}-gcc-posix)
  set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
  set(CMAKE_RC_COMPILER ${triple}-windres)
  set(CMAKE_AR ${triple}-gcc-ar-posix)
  set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix)
  set(CMAKE_FIND_ROOT_PATH /usr/${triple})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
endif()
