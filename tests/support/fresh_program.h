// Checks that need a Qt application of their own: another screen size, scale factor, style or
// palette. Qt reads the platform and the scale factor once, when the application starts, and a
// style or palette set for one test would stay for the next; so such a check runs in a fresh
// copy of the test program, started for this test alone, and the test passes when every
// expectation in the copy holds. The copy's messages appear in the test's failure report.
#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace velta::test {

// The screen the fresh program's offscreen platform shows: its size in device pixels, and the
// scale factor the program runs at ("1", "1.5", "2").
struct Screen {
  int width;
  int height;
  const char* scale;
};

// Runs `check` and writes each failed expectation to the error output, which the copy's test
// framework keeps to itself; returns the number of failures.
inline int ReportFailures(const std::function<void()>& check) {
  ::testing::TestPartResultArray results;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
    check();
  }
  int failures = 0;
  for (int i = 0; i < results.size(); ++i) {
    const ::testing::TestPartResult& result = results.GetTestPartResult(i);
    if (!result.failed()) continue;
    ++failures;
    std::fprintf(stderr, "%s:%d: %s\n", result.file_name() ? result.file_name() : "?",
                 result.line_number(), result.message());
  }
  return failures;
}

// Runs `check` in a fresh copy of the test program whose application sees `screen`.
inline void InFreshProgram(const Screen& screen, const std::function<void()>& check) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        int failures = 0;
        {
          QTemporaryDir dir;
          const QString config = dir.filePath("screen.json");
          QFile file(config);
          if (!file.open(QIODevice::WriteOnly)) std::_Exit(2);
          file.write(
              QString(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": %1,)"
                      R"( "height": %2, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                  .arg(screen.width)
                  .arg(screen.height)
                  .toUtf8());
          file.close();
          setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit().constData(),
                 1);
          setenv("QT_SCALE_FACTOR", screen.scale, 1);
          failures = ReportFailures(check);
        }
        std::fflush(nullptr);
        std::_Exit(failures == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "")
      << "on a screen of " << screen.width << " x " << screen.height << " at scale "
      << screen.scale;
}

}  // namespace velta::test
