# libzip for the MinGW build and the native build alike, so that both read books the same
# way: Debian's source package, with the repo's patch for WinZip AES entries in the AE-2
# form (libzip-winzip-aes.patch), built as a static library. Windows builds decrypt through
# Windows CNG (bcrypt), native builds through OpenSSL. The tarball and the built library
# stay in the build folder.
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

# The patch's hash names the build folder: a changed patch builds libzip afresh.
set(_lz_patch ${CMAKE_SOURCE_DIR}/cmake/libzip-winzip-aes.patch)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_lz_patch})
file(SHA256 ${_lz_patch} _lz_hash)
string(SUBSTRING ${_lz_hash} 0 8 _lz_hash)
set(_lz_prefix ${CMAKE_BINARY_DIR}/_deps/libzip-${_lz_hash})
if(WIN32)
  find_library(TOMELET_MINGW_ZLIB NAMES libz.a NO_DEFAULT_PATH
               PATHS /usr/${TOMELET_MINGW_TRIPLE}/lib REQUIRED)
  get_filename_component(_lz_toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
  set(_lz_args
    -DCMAKE_TOOLCHAIN_FILE=${_lz_toolchain}
    -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF
    -DZLIB_LIBRARY=${TOMELET_MINGW_ZLIB}
    -DZLIB_INCLUDE_DIR=/usr/${TOMELET_MINGW_TRIPLE}/include)
  set(_lz_links ${TOMELET_MINGW_ZLIB} tomelet_system_library)   # its bcrypt calls (base/)
else()
  find_package(ZLIB REQUIRED)
  find_package(OpenSSL REQUIRED)
  set(_lz_args
    -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON
    -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_OPENSSL=ON)
  set(_lz_links ${OPENSSL_CRYPTO_LIBRARY} ${ZLIB_LIBRARIES})
endif()

ExternalProject_Add(libzip_build
  URL ${TOMELET_LIBZIP_TARBALL}
  PREFIX ${_lz_prefix}
  INSTALL_DIR ${_lz_prefix}/install
  PATCH_COMMAND patch -p1 -i ${_lz_patch}
  CMAKE_ARGS
    ${_lz_args}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DCMAKE_INSTALL_LIBDIR=lib
    -DBUILD_SHARED_LIBS=OFF
    -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  BUILD_BYPRODUCTS <INSTALL_DIR>/lib/libzip.a
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON
  DOWNLOAD_EXTRACT_TIMESTAMP ON)

file(MAKE_DIRECTORY ${_lz_prefix}/install/include)
add_library(libzip::zip STATIC IMPORTED GLOBAL)
set_target_properties(libzip::zip PROPERTIES
  IMPORTED_LOCATION ${_lz_prefix}/install/lib/libzip.a
  INTERFACE_INCLUDE_DIRECTORIES ${_lz_prefix}/install/include
  INTERFACE_COMPILE_DEFINITIONS ZIP_STATIC
  INTERFACE_LINK_LIBRARIES "${_lz_links}")
add_dependencies(libzip::zip libzip_build)
