# libzip for the MinGW build: Debian ships none, so it is built here from Debian's
# source package, as a static library with Windows CNG crypto (PKWARE + WinZip AES).
# The tarball and the built library stay in the build folder.
include(ExternalProject)

set(_lz_dl ${CMAKE_BINARY_DIR}/_deps/libzip-download)
if(NOT TOMELET_LIBZIP_TARBALL)
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-libzip-source.sh ${_lz_dl}
    RESULT_VARIABLE _lz_rc)
  if(NOT _lz_rc EQUAL 0)
    message(FATAL_ERROR "Could not fetch libzip's source package (see ${_lz_dl}/fetch.log)")
  endif()
  file(GLOB _lz_tar ${_lz_dl}/libzip_*.orig.tar.*)
  list(GET _lz_tar 0 _lz_tar)
  set(TOMELET_LIBZIP_TARBALL ${_lz_tar} CACHE FILEPATH "libzip source tarball")
endif()

find_library(TOMELET_MINGW_ZLIB NAMES libz.a NO_DEFAULT_PATH
             PATHS /usr/${TOMELET_MINGW_TRIPLE}/lib REQUIRED)

get_filename_component(_lz_toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
set(_lz_prefix ${CMAKE_BINARY_DIR}/_deps/libzip)
ExternalProject_Add(libzip_build
  URL ${TOMELET_LIBZIP_TARBALL}
  PREFIX ${_lz_prefix}
  INSTALL_DIR ${_lz_prefix}/install
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${_lz_toolchain}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DBUILD_SHARED_LIBS=OFF
    -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF
    -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
    -DZLIB_LIBRARY=${TOMELET_MINGW_ZLIB}
    -DZLIB_INCLUDE_DIR=/usr/${TOMELET_MINGW_TRIPLE}/include
  BUILD_BYPRODUCTS <INSTALL_DIR>/lib/libzip.a
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON
  DOWNLOAD_EXTRACT_TIMESTAMP ON)

file(MAKE_DIRECTORY ${_lz_prefix}/install/include)
add_library(libzip::zip STATIC IMPORTED GLOBAL)
set_target_properties(libzip::zip PROPERTIES
  IMPORTED_LOCATION ${_lz_prefix}/install/lib/libzip.a
  INTERFACE_INCLUDE_DIRECTORIES ${_lz_prefix}/install/include
  INTERFACE_COMPILE_DEFINITIONS ZIP_STATIC
  INTERFACE_LINK_LIBRARIES "${TOMELET_MINGW_ZLIB};bcrypt")
add_dependencies(libzip::zip libzip_build)
