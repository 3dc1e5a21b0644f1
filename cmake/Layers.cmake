# The layer rule: each folder is its own library and sees only itself and what it links. Its
# include root is a folder holding one symbolic link, to the folder itself, so a header of a
# folder it does not link is not found and an include that runs back up fails to build.
#
#   bv_layer(<target> [STATIC | SHARED | INTERFACE]     STATIC unless said
#            [FOLDER <dir>]            the layer's folder, relative to the current source folder;
#                                      default the current source folder itself
#            [PREFIX <path>]           its headers are included as <path>/<folder>/X.h
#            [SOURCES <file>...]       relative to FOLDER; default every *.cpp directly in it
#            [GENERATED <file>...]     sources the build makes (resource blobs)
#            [BELOW <target>...]       the layers it stands on
#            [LIBS <lib>...]           other libraries its headers need
#            [PRIVATE_LIBS <lib>...])  libraries only its sources need
#
# The add-on:    bv_layer(bauvista_schedule FOLDER schedule BELOW bauvista_hostcalls)
# The host:      bv_layer(quorvel_render FOLDER render PREFIX host BELOW quorvel_model LIBS PixKit)
# The desk, its CMakeLists being its folder:
#                bv_layer(quorvel_desk SOURCES ${desk_sources} BELOW quorvel_host LIBS Qt6::Widgets)
# A platform kit: bv_layer(DialogKit SHARED SOURCES DGAlert.cpp ... LIBS BaseKit)
# Header only:   bv_layer(Bytes INTERFACE)
function(bv_layer target)
  cmake_parse_arguments(L "STATIC;SHARED;INTERFACE" "FOLDER;PREFIX"
                        "SOURCES;GENERATED;BELOW;LIBS;PRIVATE_LIBS" ${ARGN})
  if(L_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "bv_layer(${target}): unknown arguments ${L_UNPARSED_ARGUMENTS}")
  endif()
  set(kind STATIC)
  if(L_SHARED)
    set(kind SHARED)
  elseif(L_INTERFACE)
    set(kind INTERFACE)
  endif()

  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  if(DEFINED L_FOLDER)
    get_filename_component(folder ${L_FOLDER} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(NOT IS_DIRECTORY ${folder})
    message(FATAL_ERROR "bv_layer(${target}): no folder ${folder}")
  endif()
  get_filename_component(name ${folder} NAME)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/layers/${target})
  set(link ${root}/${name})
  if(DEFINED L_PREFIX)
    set(link ${root}/${L_PREFIX}/${name})
  endif()
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${folder} ${link} SYMBOLIC)

  if(kind STREQUAL "INTERFACE")
    if(L_SOURCES OR L_GENERATED OR L_PRIVATE_LIBS)
      message(FATAL_ERROR "bv_layer(${target}): a header-only layer has no sources of its own")
    endif()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${L_BELOW} ${L_LIBS})
    return()
  endif()

  if(DEFINED L_SOURCES)
    set(sources)
    foreach(source IN LISTS L_SOURCES)
      get_filename_component(source ${source} ABSOLUTE BASE_DIR ${folder})
      list(APPEND sources ${source})
    endforeach()
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  endif()
  add_library(${target} ${kind} ${sources} ${L_GENERATED})
  bv_use_pch(${target} bv_pch_library)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${L_BELOW} ${L_LIBS} PRIVATE ${L_PRIVATE_LIBS})
endfunction()
