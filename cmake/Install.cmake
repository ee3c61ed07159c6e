# Install rules: the programs, libquindle with its headers and its CMake and
# pkg-config files, and the desktop integration. Everything is placed relative
# to the prefix, so an install can be moved (cmake --install --prefix P).
include(CMakePackageConfigHelpers)

set(QUINDLE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quindle)
set(QUINDLE_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/quindle)
set(PKG_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS vantoc stirrer-sim quindle-gallery
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

install(TARGETS quindle EXPORT QuindleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
  INCLUDES DESTINATION ${QUINDLE_INCLUDE_DIR})

# Public headers keep the module folders, as the library's own sources
# include them ("display/VelDigit.h").
file(GLOB QUINDLE_HEADER_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/ctrl/*)
foreach(dir ${QUINDLE_HEADER_DIRS})
  get_filename_component(module ${dir} NAME)
  file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
  if(IS_DIRECTORY ${dir} AND headers AND NOT module STREQUAL "res")
    install(FILES ${headers} DESTINATION ${QUINDLE_INCLUDE_DIR}/${module} COMPONENT dev)
  endif()
endforeach()

install(EXPORT QuindleTargets NAMESPACE Quindle:: DESTINATION ${QUINDLE_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${PKG_DIR}/cmake/QuindleConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/packaging/QuindleConfig.cmake
  INSTALL_DESTINATION ${QUINDLE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/packaging/QuindleConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/QuindleConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/QuindleConfigVersion.cmake
  DESTINATION ${QUINDLE_CMAKE_DIR} COMPONENT dev)

# quindle.pc finds the prefix from its own place, so a moved install works.
file(RELATIVE_PATH PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PC_TO_PREFIX "${PC_TO_PREFIX}")
configure_file(${PKG_DIR}/quindle.pc.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/quindle.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/quindle.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

install(FILES ${PKG_DIR}/org.vantoc.Vantoc.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT runtime)
install(FILES ${PKG_DIR}/org.vantoc.Vantoc.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT runtime)
install(DIRECTORY ${PKG_DIR}/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT runtime)
install(FILES ${PKG_DIR}/icons/vantoc.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT runtime)
install(FILES ${PKG_DIR}/man/vantoc.1 ${PKG_DIR}/man/stirrer-sim.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
