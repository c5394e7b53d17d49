# velto_logic_library(<name> [GUI] DEPS <libs...>)
# Every .cpp/.h in the calling folder; logic layers link QtCore (QtGui on request), never Widgets.
function(velto_logic_library name)
  cmake_parse_arguments(ARG "GUI" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_DEPS})
  if(ARG_GUI)
    target_link_libraries(${name} PUBLIC Qt6::Gui)
  endif()
endfunction()

# velto_add_tests(LIBS <libs...>): one test executable per tst_*.cpp in the calling folder.
function(velto_add_tests)
  cmake_parse_arguments(ARG "" "" "LIBS;EXTRA" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  foreach(src ${tests})
    get_filename_component(tname ${src} NAME_WE)
    add_executable(${tname} ${src} ${ARG_EXTRA})
    target_include_directories(${tname} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${tname} PRIVATE Qt6::Test ${ARG_LIBS})
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
