# Adds every direct child folder of the current source folder that has a CMakeLists.txt,
# in name order, so a new subsystem folder needs no edit of its parent.
function(bv_add_child_folders)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# One GoogleTest executable per unit: bv_add_test(NAME source... LIBS lib...)
function(bv_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Qt wants its users compiled as -fPIC, which the tests' precompiled header is not.
  if(NOT T_LIBS MATCHES "(^|;)(Qt6::|quorvel_desk)")
    bv_add_test_pch()
    bv_use_pch(${name} bv_pch_test)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "BV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
