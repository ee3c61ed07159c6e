# Shared helpers for the module libraries. Every module folder globs its own
# sources so that adding a class needs no edit outside that folder.

function(vantoc_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# An object library of Quindle, later composed into libquindle.so.
function(quindle_module name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_library(${name} OBJECT ${srcs})
  target_compile_definitions(${name} PRIVATE QUINDLE_BUILD)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/ctrl)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets)
  vantoc_warnings(${name})
endfunction()

# One test executable per module folder under tests/.
function(vantoc_test_module name)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT srcs)
    return()
  endif()
  set(target test_${name})
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE test_support ${ARGN})
  vantoc_warnings(${target})
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
