# Cross toolchain: 64-bit Windows (x86_64) with MinGW-w64. The product ships
# as 32-bit; this build runs the Windows suites on machines whose kernel runs
# no 32-bit code, where only Wine's 64-bit loader works.
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
