#pragma once
// JSON values (RFC 8259) for the service's messages: a reader that checks
// every byte and caps the nesting, and a writer.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagewell::service {

class Json {
 public:
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  using Array = std::vector<Json>;
  using Member = std::pair<std::string, Json>;
  using Object = std::vector<Member>;  // in the order written

  Json() = default;
  Json(bool value) : kind_(Kind::Boolean), boolean_(value) {}
  Json(double value) : kind_(Kind::Number), number_(value) {}
  Json(int value) : Json(static_cast<double>(value)) {}
  Json(long value) : Json(static_cast<double>(value)) {}
  Json(std::string value) : kind_(Kind::String), text_(std::move(value)) {}
  Json(const char* value) : Json(std::string(value)) {}
  Json(Array items) : kind_(Kind::Array), items_(std::move(items)) {}
  Json(Object members) : kind_(Kind::Object), members_(std::move(members)) {}

  Kind kind() const { return kind_; }
  bool isNull() const { return kind_ == Kind::Null; }
  bool boolean() const { return boolean_; }
  double number() const { return number_; }
  const std::string& text() const { return text_; }
  const Array& items() const { return items_; }
  const Object& members() const { return members_; }

  // The member's value, or nullptr when this is no object or lacks it.
  const Json* find(std::string_view name) const;

 private:
  Kind kind_ = Kind::Null;
  bool boolean_ = false;
  double number_ = 0;
  std::string text_;
  Array items_;
  Object members_;
};

constexpr size_t kMaxJsonDepth = 32;

// The value of the whole text, or nothing when it is not exactly one JSON
// value (surrounding white space allowed), nests deeper than kMaxJsonDepth,
// or holds text that is not UTF-8.
std::optional<Json> parseJson(std::string_view text);

// Compact JSON; numbers that are whole and exact print without a fraction,
// and numbers JSON cannot hold (infinities, NaN) print as null.
std::string toJson(const Json& value);

}  // namespace pagewell::service
