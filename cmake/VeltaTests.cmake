# One test program per *_test.cpp file below a folder, so a test file that does not compile yet
# only holds back its own program. Tests that talk to the simulator start it from VELTA_SIM_PATH.
function(velta_add_test_folder folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  foreach(source ${test_sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} velta_test_support GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE VELTA_SIM_PATH="$<TARGET_FILE:velta-sim>")
    add_dependencies(${name} velta-sim velta_catalogue)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()
