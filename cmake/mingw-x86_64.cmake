# 64-bit Windows: the Pelk.exe for systems without 32-bit support, and the build
# whose tests run under 64-bit Wine.
set(PELK_MINGW_CPU x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
