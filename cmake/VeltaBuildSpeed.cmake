# What keeps a build from a fresh clone short on a two-core machine: ccache, a fast linker, small
# debug information for test programs and precompiled headers for the targets that include the
# large toolkit, test and JSON headers in every file.

# Precompiled headers are included by -include, which ccache hashes in direct mode once the
# sloppiness below allows it. ccache 4.7 takes its settings from the environment only.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CCACHE_PROGRAM})
endif()

# mold, else lld: both link the test programs in a fraction of the time of GNU ld.
include(CheckLinkerFlag)
foreach(linker mold lld)
  check_linker_flag(CXX -fuse-ld=${linker} VELTA_LINKER_${linker})
  if(VELTA_LINKER_${linker})
    add_link_options(-fuse-ld=${linker})
    break()
  endif()
endforeach()

# Header sets for precompiling. Each target compiles its own copy, as the compile definitions of
# the programs differ; a set is only worth it where most files of a target include it.
set(VELTA_PCH_STD <algorithm> <array> <chrono> <cstdint> <filesystem> <functional> <map> <memory>
    <optional> <sstream> <string> <string_view> <thread> <vector>)
# The widgets the windows and their tests use most, not the whole modules: a precompiled
# <QtWidgets> is read in full by every file and costs more than it saves.
set(VELTA_PCH_QT_WIDGETS <QApplication> <QCheckBox> <QComboBox> <QLabel> <QLineEdit> <QPainter>
    <QPlainTextEdit> <QPushButton> <QString> <QTimer> <QWidget>)
set(VELTA_PCH_TEST <gtest/gtest.h>)
set(VELTA_PCH_QT_TEST <QTest>)
set(VELTA_PCH_JSON <nlohmann/json.hpp>)
set(VELTA_PCH_CLI11 <CLI/CLI.hpp>)

# Off for tools that read the compile commands without the precompiled headers (clang-tidy).
option(VELTA_PRECOMPILE "Precompile the headers most files of a target include" ON)

# velta_precompile(target SETS...) precompiles the standard set and the named ones for `target`.
function(velta_precompile target)
  if(NOT VELTA_PRECOMPILE)
    return()
  endif()
  set(headers ${VELTA_PCH_STD})
  foreach(set ${ARGN})
    list(APPEND headers ${VELTA_PCH_${set}})
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# Test programs and benchmarks: line tables are enough to read a failing test's stack.
function(velta_small_debug_info target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo,Debug>:-g1>)
endfunction()
