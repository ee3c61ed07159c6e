# Debian packages through CPack (scripts/package): "vantoc" with the programs,
# the library and the desktop files; "libquindle-dev" with the headers and
# the CMake and pkg-config files. The Qt runtime dependencies come from
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantoc)
set(CPACK_PACKAGE_VENDOR "The Vantoc developers")
set(CPACK_PACKAGE_CONTACT "The Vantoc developers <vantoc@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control program of the Overhead Rotaque laboratory stirrer")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)

set(deb_arch amd64)
find_program(DPKG_PROGRAM dpkg)
if(DPKG_PROGRAM)
  execute_process(COMMAND ${DPKG_PROGRAM} --print-architecture
                  OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME vantoc)
set(CPACK_DEBIAN_RUNTIME_FILE_NAME vantoc_${PROJECT_VERSION}_${deb_arch}.deb)
# The window needs a Qt platform plugin, which no linked library names.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "Control program of the Overhead Rotaque laboratory stirrer\n"
  "Sets the stirrer's speed, starts and stops the motor and shows speed and\n"
  "torque live; saves runs as tables. Includes stirrer-sim, a simulated\n"
  "stirrer, and quindle-gallery, the controls of libquindle side by side.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libquindle-dev)
set(CPACK_DEBIAN_DEV_FILE_NAME libquindle-dev_${PROJECT_VERSION}_${deb_arch}.deb)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "vantoc (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Headers and CMake and pkg-config files of libquindle\n"
  "find_package(Quindle 1) gives Quindle::quindle; pkg-config names it quindle.")

include(CPack)
