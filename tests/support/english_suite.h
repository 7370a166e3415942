// A suite that checks the English texts: it selects the catalogue for its own tests and hands the
// process back in German, the texts that the other suites of the same test program expect.
#pragma once

#include <gtest/gtest.h>

#include "i18n/lookup.h"

namespace velta::test {

class EnglishSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseLanguage("en"); }
  static void TearDownTestSuite() { UseLanguage("de"); }
};

}  // namespace velta::test
