# velto_logic_library(<name> [GUI] [DEPS <libs...>] SOURCES <files...>)
# A logic layer: links QtCore (QtGui on request) and the layers it names, never Widgets.
function(velto_logic_library name)
  cmake_parse_arguments(ARG "GUI" "" "DEPS;SOURCES" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "velto_logic_library(${name}): no SOURCES")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_DEPS} PRIVATE velto_options)
  if(ARG_GUI)
    target_link_libraries(${name} PUBLIC Qt6::Gui)
  endif()
endfunction()

# velto_add_tests(TESTS <tst_name...> LIBS <libs...>): one test program per
# name, built from <tst_name>.cpp in the calling folder and run by ctest.
function(velto_add_tests)
  cmake_parse_arguments(ARG "" "" "TESTS;LIBS" ${ARGN})
  if(NOT ARG_TESTS)
    message(FATAL_ERROR "velto_add_tests: no TESTS")
  endif()
  foreach(tname ${ARG_TESTS})
    add_executable(${tname} ${tname}.cpp)
    target_link_libraries(${tname} PRIVATE velto_options velto_testsupport Qt6::Test ${ARG_LIBS})
    add_test(NAME ${tname} COMMAND ${tname})
    set_tests_properties(${tname} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VELTO_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
      TIMEOUT 300)
    if(tname STREQUAL "tst_print" OR tname STREQUAL "tst_wardday")
      # Both count the jobs on the one test printer.
      set_tests_properties(${tname} PROPERTIES RESOURCE_LOCK printer)
    endif()
  endforeach()
endfunction()
