# What keeps a build from a fresh clone short on a two-core machine: ccache, a fast linker, small
# debug information for test programs and benchmarks, and precompiled headers. The folders' own
# CMakeLists.txt know nothing of it: velta_speed_up_tree(), called once every folder is added,
# goes over all targets, so new folders and files are covered as they come.

# Precompiled headers are included by -include, which ccache hashes in direct mode once the
# sloppiness below allows it (the .gch is always newer than the compile's start). ccache 4.7 takes
# its settings from the environment only.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CCACHE_PROGRAM})
endif()

# mold, else lld: both link a program in a fraction of GNU ld's time.
include(CheckLinkerFlag)
foreach(linker mold lld)
  check_linker_flag(CXX -fuse-ld=${linker} VELTA_LINKER_${linker})
  if(VELTA_LINKER_${linker})
    add_link_options(-fuse-ld=${linker})
    break()
  endif()
endforeach()

# Off for tools that read the compile commands without the precompiled headers (clang-tidy).
option(VELTA_PRECOMPILE "Precompile the headers most files of a target include" ON)

# Header sets, for the targets whose files all include large headers: GoogleTest's (the targets
# that link it) and those named in VELTA_PCH_<target>; each also gets the standard set. The plain
# libraries go without: they save little, and with precompiled headers GCC 12 takes the standard
# library's inlined string copies for the program's own code and warns (-Warray-bounds) about
# them; a file that meets that goes in VELTA_PCH_SKIP. The Qt set names the widgets the windows
# and their tests use, not whole modules: a precompiled <QtWidgets> is twice the size and costs
# every file more than it saves.
set(VELTA_PCH_STD <algorithm> <array> <chrono> <cstdint> <filesystem> <functional> <map> <memory>
    <optional> <sstream> <string> <string_view> <thread> <vector>)
set(VELTA_PCH_TEST <gtest/gtest.h>)
set(VELTA_PCH_QT_WIDGETS <QApplication> <QCheckBox> <QComboBox> <QLabel> <QLineEdit> <QPainter>
    <QPlainTextEdit> <QPushButton> <QString> <QTimer> <QWidget>)
set(VELTA_PCH_QT_TEST <QTest>)
set(VELTA_PCH_JSON <nlohmann/json.hpp>)
set(VELTA_PCH_CLI11 <CLI/CLI.hpp>)
set(VELTA_PCH_velta_ui QT_WIDGETS)
set(VELTA_PCH_ui_tests QT_WIDGETS QT_TEST)
set(VELTA_PCH_velta-cli CLI11 JSON)
set(VELTA_PCH_cli_tests JSON)
# A precompiled header costs about one file's compile: not worth it below this many files.
set(VELTA_PCH_MIN_SOURCES 3)
# Files (paths from the source root) compiled without the precompiled headers of their target.
set(VELTA_PCH_SKIP)

function(velta_targets_below dir result)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    velta_targets_below(${subdir} more)
    list(APPEND targets ${more})
  endforeach()
  set(${result} ${targets} PARENT_SCOPE)
endfunction()

function(velta_precompile target)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources count)
  if(count LESS VELTA_PCH_MIN_SOURCES)
    return()
  endif()
  set(headers)
  get_target_property(libraries ${target} LINK_LIBRARIES)
  if(GTest::gtest IN_LIST libraries)
    list(APPEND headers ${VELTA_PCH_TEST})
  endif()
  foreach(set ${VELTA_PCH_${target}})
    list(APPEND headers ${VELTA_PCH_${set}})
  endforeach()
  if(NOT headers)
    return()
  endif()
  list(PREPEND headers ${VELTA_PCH_STD})
  target_precompile_headers(${target} PRIVATE ${headers})
  foreach(file ${VELTA_PCH_SKIP})
    if(${PROJECT_SOURCE_DIR}/${file} IN_LIST sources)
      set_source_files_properties(${PROJECT_SOURCE_DIR}/${file} TARGET_DIRECTORY ${target}
                                  PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endfunction()

function(velta_speed_up_tree)
  velta_targets_below(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    if(VELTA_PRECOMPILE)
      velta_precompile(${target})
    endif()
    # Test programs and benchmarks: line tables are enough to read a failing test's stack, and
    # full debug information triples their objects.
    get_target_property(dir ${target} SOURCE_DIR)
    if(dir MATCHES "^${PROJECT_SOURCE_DIR}/(tests|bench)(/|$)")
      target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo,Debug>:-g1>)
    endif()
  endforeach()
endfunction()
