# GoogleTest from Debian's sources, TinyXML from Debian's source package (fetched into
# the build tree by scripts/setup.sh). Both are built with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TINYXML_DIR ${TESSAMO_DEPS_DIR}/tinyxml)
if(NOT EXISTS ${TINYXML_DIR}/tinyxml.h)
  message(FATAL_ERROR "TinyXML sources are missing in ${TINYXML_DIR}; run scripts/setup.sh")
endif()
add_library(tinyxml STATIC
  ${TINYXML_DIR}/tinyxml.cpp
  ${TINYXML_DIR}/tinystr.cpp
  ${TINYXML_DIR}/tinyxmlerror.cpp
  ${TINYXML_DIR}/tinyxmlparser.cpp)
target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_DIR})
target_compile_options(tinyxml PRIVATE -w)
