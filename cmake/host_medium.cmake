# A cross build cannot run its own medium.exe while it builds, so the data it
# compresses (the LZ test files, the sample medium's compressed files) is
# compressed by the same tool built for the host, in a build of its own
# below this one (host/), with the host's compilers.
include(ExternalProject)
set(HOST_MEDIUM_DIR ${CMAKE_BINARY_DIR}/host)
set(HOST_MEDIUM ${HOST_MEDIUM_DIR}/tools/medium/medium)
set(HOST_MEDIUM_TARGET host_medium)
ExternalProject_Add(host_medium
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HOST_MEDIUM_DIR}
    CMAKE_ARGS -DSETUP_HOST_TOOL=ON -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target medium_tool
    INSTALL_COMMAND ""
    # The inner build knows the sources it depends on; it is a no-op when
    # none changed.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${HOST_MEDIUM})
