// One reading of typed numbers for the CLI, the bridge and the window's settings.
#include <gtest/gtest.h>

#include "link/numbers.h"

namespace velta {
namespace {

TEST(Numbers, AComNumberIsCOMOrDigitsWithinItsRange) {
  struct Row {
    const char* text;
    std::optional<std::int32_t> number;
  };
  for (const Row row : {Row{"COM5", 5}, Row{"com255", 255}, Row{"7", 7}, Row{"COM0", {}},
                        Row{"256", {}}, Row{"COM+5", {}}, Row{" 5", {}}, Row{"0x10", {}},
                        Row{"", {}}}) {
    EXPECT_EQ(ParseComPort(row.text), row.number) << row.text;
  }
}

TEST(Numbers, ADecimalHasDigitsOnlyAndNoOctalPrefix) {
  EXPECT_EQ(ParseDecimal("052011", 1, 65535), 52011);
  for (const char* text : {"-1", "1e3", "99999999999999999999", "65536", "1.5"})
    EXPECT_EQ(ParseDecimal(text, 1, 65535), std::nullopt) << text;
}

}  // namespace
}  // namespace velta
