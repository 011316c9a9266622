// Feeds arbitrary text to the service's JSON reader and UTF-8 check. Every
// text must be read without a crash, and:
// - a value that parses, written back, parses again to an equal value, and
//   that writing is a fixed point (it writes back the same);
// - the UTF-8 check agrees with the byte ranges of RFC 3629's grammar,
//   written here independently of the decoder;
// - a text is a JSON string's contents (once quoted, with nothing to
//   escape) exactly when it is UTF-8.
//
// Input: the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/utf8.h"

namespace {

using namespace pagewell::service;

void check(bool condition) {
  if (!condition) std::abort();
}

bool equal(const Json& a, const Json& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Json::Kind::Null: return true;
    case Json::Kind::Boolean: return a.boolean() == b.boolean();
    case Json::Kind::Number: return a.number() == b.number();
    case Json::Kind::String: return a.text() == b.text();
    case Json::Kind::Array:
      if (a.items().size() != b.items().size()) return false;
      for (size_t i = 0; i < a.items().size(); ++i)
        if (!equal(a.items()[i], b.items()[i])) return false;
      return true;
    case Json::Kind::Object:
      if (a.members().size() != b.members().size()) return false;
      for (size_t i = 0; i < a.members().size(); ++i)
        if (a.members()[i].first != b.members()[i].first || !equal(a.members()[i].second, b.members()[i].second))
          return false;
      return true;
  }
  return false;
}

bool inRange(std::string_view bytes, size_t at, unsigned low, unsigned high) {
  if (at >= bytes.size()) return false;
  const unsigned byte = static_cast<unsigned char>(bytes[at]);
  return byte >= low && byte <= high;
}

// The length of the UTF-8 character at `at`, or 0 when none starts there.
// RFC 3629 section 4:
//   UTF8-2 = %xC2-DF UTF8-tail
//   UTF8-3 = %xE0 %xA0-BF UTF8-tail / %xE1-EC 2( UTF8-tail ) /
//            %xED %x80-9F UTF8-tail / %xEE-EF 2( UTF8-tail )
//   UTF8-4 = %xF0 %x90-BF 2( UTF8-tail ) / %xF1-F3 3( UTF8-tail ) /
//            %xF4 %x80-8F 2( UTF8-tail )
size_t characterLength(std::string_view bytes, size_t at) {
  auto tails = [&](size_t from, size_t count) {
    for (size_t i = 0; i < count; ++i)
      if (!inRange(bytes, from + i, 0x80, 0xBF)) return false;
    return true;
  };
  if (inRange(bytes, at, 0x00, 0x7F)) return 1;
  if (inRange(bytes, at, 0xC2, 0xDF)) return tails(at + 1, 1) ? 2 : 0;
  if (inRange(bytes, at, 0xE0, 0xE0)) return inRange(bytes, at + 1, 0xA0, 0xBF) && tails(at + 2, 1) ? 3 : 0;
  if (inRange(bytes, at, 0xE1, 0xEC) || inRange(bytes, at, 0xEE, 0xEF)) return tails(at + 1, 2) ? 3 : 0;
  if (inRange(bytes, at, 0xED, 0xED)) return inRange(bytes, at + 1, 0x80, 0x9F) && tails(at + 2, 1) ? 3 : 0;
  if (inRange(bytes, at, 0xF0, 0xF0)) return inRange(bytes, at + 1, 0x90, 0xBF) && tails(at + 2, 2) ? 4 : 0;
  if (inRange(bytes, at, 0xF1, 0xF3)) return tails(at + 1, 3) ? 4 : 0;
  if (inRange(bytes, at, 0xF4, 0xF4)) return inRange(bytes, at + 1, 0x80, 0x8F) && tails(at + 2, 2) ? 4 : 0;
  return 0;
}

bool isUtf8ByGrammar(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = characterLength(bytes, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// Nothing in it that a JSON string would have to escape.
bool needsNoEscape(std::string_view text) {
  for (char c : text)
    if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

void checkUtf8(std::string_view text) {
  const bool valid = isValidUtf8(text);
  check(valid == isUtf8ByGrammar(text));
  if (!needsNoEscape(text)) return;
  const std::optional<Json> quoted = parseJson("\"" + std::string(text) + "\"");
  check(quoted.has_value() == valid);
  if (quoted) check(quoted->text() == text && toJson(*quoted) == "\"" + std::string(text) + "\"");
}

void checkRoundTrip(const Json& value) {
  const std::string written = toJson(value);
  const std::optional<Json> again = parseJson(written);
  check(again && equal(*again, value));
  check(toJson(*again) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<Json> value = parseJson(text)) checkRoundTrip(*value);
  checkUtf8(text);
  return 0;
}
