# Precompiled headers: the standard library headers most sources include, parsed once per build
# instead of once per source, and GoogleTest's header once for all tests. A clean build spends
# much of its time parsing these. Only outside headers go in, never the project's own, so the
# layer rule still decides what a source may include.
#
# Two stems, because a library's sources are compiled as position-independent code (-fPIC) and
# an executable's as a position-independent executable (-fPIE), and a precompiled header serves
# only sources compiled like it:
#   bv_pch_library      for every layer (bv_layer)
#   bv_pch_test         for every test (bv_add_test)
#
# Off with -DBV_PCH=OFF, which also shows a source that forgot an include the header gave it.
option(BV_PCH "Precompile the standard and test headers" ON)

set(bv_pch_std
  <algorithm> <array> <cmath> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem>
  <functional> <map> <memory> <optional> <set> <span> <string> <string_view> <unordered_map>
  <utility> <vector>)

if(BV_PCH)
  add_library(bv_pch_library OBJECT ${CMAKE_CURRENT_LIST_DIR}/pch/Stem.cpp)
  target_precompile_headers(bv_pch_library PRIVATE ${bv_pch_std})
endif()

# Called once GoogleTest is found.
function(bv_add_test_pch)
  if(BV_PCH AND NOT TARGET bv_pch_test)
    add_executable(bv_pch_test ${PROJECT_SOURCE_DIR}/cmake/pch/Stem.cpp)
    target_link_libraries(bv_pch_test PRIVATE GTest::gtest GTest::gtest_main)
    target_precompile_headers(bv_pch_test PRIVATE ${bv_pch_std} <gtest/gtest.h>)
  endif()
endfunction()

function(bv_use_pch target stem)
  if(BV_PCH)
    target_precompile_headers(${target} REUSE_FROM ${stem})
  endif()
endfunction()
