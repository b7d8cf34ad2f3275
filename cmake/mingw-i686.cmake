# 32-bit Windows: the shipped Pelk.exe.
set(PELK_MINGW_CPU i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
