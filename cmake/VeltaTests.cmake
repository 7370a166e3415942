# One test program per folder (link_tests, ui_tests, …) built from all of its *_test.cpp files:
# a handful of programs instead of one per file keeps the links and the binaries few. ctest still
# lists and runs every test on its own, so failures are reported per test and `ctest -j` spreads
# them. Tests that talk to the simulator start it from VELTA_SIM_PATH.
function(velta_add_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} velta_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VELTA_SIM_PATH="$<TARGET_FILE:velta-sim>")
  add_dependencies(${name} velta-sim velta_catalogue)
  # A test is named by its suite, test and parameter name only: GoogleTest's dump of a parameter's
  # bytes holds addresses that change from build to build.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_TYPES NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT 300)
endfunction()

# A file named under ALONE changes state that lasts for the whole process and gets a program of
# its own, so the folder's program passes in any test order.
function(velta_add_test_folder folder)
  cmake_parse_arguments(ARG "" "" "LIBS;ALONE" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(file ${ARG_ALONE})
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/${file})
    list(REMOVE_ITEM test_sources ${source})
    get_filename_component(name ${file} NAME_WE)
    velta_add_test_program(${name} SOURCES ${source} LIBS ${ARG_LIBS})
  endforeach()
  velta_add_test_program(${folder}_tests SOURCES ${test_sources} LIBS ${ARG_LIBS})
endfunction()
