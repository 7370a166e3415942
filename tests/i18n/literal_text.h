// The text a C string literal stands for, as the compiler and the catalogue tools read it (only
// the escapes the sources and the catalogue use: \n, \t, \\ and \").
#pragma once

#include <string>

namespace velta::test {

// `body` is what stands between the quotes.
inline std::string LiteralText(const std::string& body) {
  std::string out;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\' || i + 1 == body.size()) {
      out += body[i];
      continue;
    }
    const char next = body[++i];
    out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
  }
  return out;
}

// The same for a literal with its quotes, as a catalogue line holds it.
inline std::string QuotedLiteralText(const std::string& quoted) {
  return quoted.size() < 2 ? std::string() : LiteralText(quoted.substr(1, quoted.size() - 2));
}

}  // namespace velta::test
