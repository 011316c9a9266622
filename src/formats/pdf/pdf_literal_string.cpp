#include "formats/pdf/pdf_literal_string.h"

namespace pagewell {

std::string EscapePdfLiteral(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

}  // namespace pagewell
