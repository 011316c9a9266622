#include "json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "utf8.h"

namespace pagewell::service {

const Json* Json::find(std::string_view name) const {
  for (const Member& member : members_)
    if (member.first == name) return &member.second;
  return nullptr;
}

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<Json> document() {
    std::optional<Json> value = parseValue(0);
    skipSpace();
    if (!value || at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  std::optional<Json> parseValue(size_t depth) {
    skipSpace();
    if (at_ >= text_.size()) return std::nullopt;
    char c = text_[at_];
    // `depth` containers enclose this value; it may open one more only
    // while that stays within the cap.
    if ((c == '{' || c == '[') && depth >= kMaxJsonDepth) return std::nullopt;
    if (c == '{') return parseObject(depth);
    if (c == '[') return parseArray(depth);
    if (c == '"') {
      std::optional<std::string> text = parseString();
      if (!text) return std::nullopt;
      return Json(std::move(*text));
    }
    if (consume("true")) return Json(true);
    if (consume("false")) return Json(false);
    if (consume("null")) return Json();
    return parseNumber();
  }

  std::optional<Json> parseObject(size_t depth) {
    ++at_;
    Json::Object members;
    skipSpace();
    if (consume("}")) return Json(std::move(members));
    do {
      skipSpace();
      if (at_ >= text_.size() || text_[at_] != '"') return std::nullopt;
      std::optional<std::string> name = parseString();
      skipSpace();
      if (!name || !consume(":")) return std::nullopt;
      std::optional<Json> value = parseValue(depth + 1);
      if (!value) return std::nullopt;
      members.emplace_back(std::move(*name), std::move(*value));
      skipSpace();
    } while (consume(","));
    if (!consume("}")) return std::nullopt;
    return Json(std::move(members));
  }

  std::optional<Json> parseArray(size_t depth) {
    ++at_;
    Json::Array items;
    skipSpace();
    if (consume("]")) return Json(std::move(items));
    do {
      std::optional<Json> value = parseValue(depth + 1);
      if (!value) return std::nullopt;
      items.push_back(std::move(*value));
      skipSpace();
    } while (consume(","));
    if (!consume("]")) return std::nullopt;
    return Json(std::move(items));
  }

  // RFC 8259 section 7: a quoted run of characters, with the backslash
  // escapes and \uXXXX (surrogate pairs joined); raw control characters are
  // not allowed.
  std::optional<std::string> parseString() {
    ++at_;
    std::string out;
    while (at_ < text_.size()) {
      unsigned char c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') {
        if (!isValidUtf8(out)) return std::nullopt;
        return out;
      }
      if (c < 0x20) return std::nullopt;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= text_.size()) return std::nullopt;
      char escape = text_[at_++];
      switch (escape) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
          if (!parseUnicodeEscape(out)) return std::nullopt;
          break;
        default: return std::nullopt;
      }
    }
    return std::nullopt;
  }

  bool parseUnicodeEscape(std::string& out) {
    std::optional<uint32_t> unit = hex4();
    if (!unit) return false;
    uint32_t codePoint = *unit;
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
      if (!consume("\\u")) return false;
      std::optional<uint32_t> low = hex4();
      if (!low || *low < 0xDC00 || *low > 0xDFFF) return false;
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*low - 0xDC00);
    } else if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
      return false;
    }
    appendUtf8(out, codePoint);
    return true;
  }

  std::optional<uint32_t> hex4() {
    if (text_.size() - at_ < 4) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[at_++];
      int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return std::nullopt;
      value = value * 16 + uint32_t(digit);
    }
    return value;
  }

  // RFC 8259 section 6: -? (0 | [1-9][0-9]*) (.[0-9]+)? ([eE][+-]?[0-9]+)?
  std::optional<Json> parseNumber() {
    size_t start = at_;
    consume("-");
    if (consume("0")) {
    } else if (!digits()) {
      return std::nullopt;
    }
    if (consume(".") && !digits()) return std::nullopt;
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (!consume("+")) consume("-");
      if (!digits()) return std::nullopt;
    }
    std::string number(text_.substr(start, at_ - start));
    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return Json(value);
  }

  bool digits() {
    size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool consume(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  void skipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  std::string_view text_;
  size_t at_ = 0;
};

void writeString(const std::string& text, std::string& out) {
  out += '"';
  for (unsigned char c : text) {
    const char* shortEscape = c == '"' ? "\\\"" : c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : nullptr;
    if (shortEscape) {
      out += shortEscape;
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void writeNumber(double value, std::string& out) {
  char digits[32];
  if (!std::isfinite(value))
    out += "null";
  else if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0)
    out += (std::snprintf(digits, sizeof digits, "%.0f", value), digits);
  else
    out += (std::snprintf(digits, sizeof digits, "%.17g", value), digits);
}

void write(const Json& value, std::string& out) {
  switch (value.kind()) {
    case Json::Kind::Null: out += "null"; break;
    case Json::Kind::Boolean: out += value.boolean() ? "true" : "false"; break;
    case Json::Kind::Number: writeNumber(value.number(), out); break;
    case Json::Kind::String: writeString(value.text(), out); break;
    case Json::Kind::Array:
      out += '[';
      for (size_t i = 0; i < value.items().size(); ++i) {
        if (i) out += ',';
        write(value.items()[i], out);
      }
      out += ']';
      break;
    case Json::Kind::Object:
      out += '{';
      for (size_t i = 0; i < value.members().size(); ++i) {
        if (i) out += ',';
        writeString(value.members()[i].first, out);
        out += ':';
        write(value.members()[i].second, out);
      }
      out += '}';
      break;
  }
}

}  // namespace

std::optional<Json> parseJson(std::string_view text) { return Reader(text).document(); }

std::string toJson(const Json& value) {
  std::string out;
  write(value, out);
  return out;
}

}  // namespace pagewell::service
