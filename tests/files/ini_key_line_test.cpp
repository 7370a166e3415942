// The line a refusal names is the line the value was read from.
#include <gtest/gtest.h>

#include "files/ini_edit.h"

namespace velta {
namespace {

TEST(IniKeyLine, NamesTheLineTheValueIsReadFrom) {
  const std::string text =
      "\xEF\xBB\xBF[Other]\r\n3=1\r\n[velta setup]\r\n; 3=comment\r\n 3 = 7\r\n3=8\r\n[VELTA Setup]\r\n9=2\r\n";
  struct Row {
    const char* key;
    std::optional<int> line;
  };
  for (const Row row : {Row{"3", 5}, Row{"9", 8}, Row{"4", std::nullopt}}) {
    EXPECT_EQ(IniKeyLine(text, "VELTA Setup", row.key), row.line) << row.key;
  }
}

}  // namespace
}  // namespace velta
