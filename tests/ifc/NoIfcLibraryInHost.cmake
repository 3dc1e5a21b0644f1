# cmake -DNM=nm -DREADELF=readelf -DPROGRAMS=path,... -P NoIfcLibraryInHost.cmake
# The host programs link no IFC library and replace no allocator: their symbols name nothing of
# IFC++ or Carve, none of the helper's heaps, and no operator new or delete of their own; their
# needed libraries are none of the IFC library's.
string(REPLACE "," ";" programs "${PROGRAMS}")
set(failures 0)
foreach(program IN LISTS programs)
  if(NOT EXISTS ${program})
    message(SEND_ERROR "${program} is not built")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  execute_process(COMMAND ${NM} -C --defined-only ${program} RESULT_VARIABLE result OUTPUT_VARIABLE symbols ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(SEND_ERROR "${NM} failed on ${program}: ${error}")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  foreach(line IN LISTS lines)
    # A replacement of the global allocator defines a global operator new or delete; an
    # unoptimised build also defines the inline placement forms (their last parameter a void*)
    # and classes' own operators (in a scope), which replace nothing.
    if(line MATCHES "(BuildingModel|BuildingEntity|ReaderSTEP|GeometryConverter|carve::|IfcPPException|ConversionHeap|ModelHeap)"
       OR (line MATCHES "^[0-9a-f]+ [TW] operator (new|delete)(\\[\\])?\\(" AND NOT line MATCHES ", void\\*\\)$"))
      message(SEND_ERROR "${program}: ${line}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
  execute_process(COMMAND ${READELF} -d ${program} OUTPUT_VARIABLE dynamic)
  if(dynamic MATCHES "(IfcPlusPlus|carve)")
    message(SEND_ERROR "${program} needs the IFC library: ${CMAKE_MATCH_1}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(NOT failures EQUAL 0)
  message(FATAL_ERROR "${failures} symbols or libraries of the IFC library in the host programs")
endif()
