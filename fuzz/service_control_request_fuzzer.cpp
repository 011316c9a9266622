// Feeds arbitrary messages to the decoder of the requests a page sends
// over /control. Every message must be decoded without a crash, and:
// - it is a request or an explanation, never both, never neither;
// - a request has a whole, non-negative, exact id, a known op, a member
//   name (letters, digits and '_', at most kMaxMemberName) where its op
//   needs one, at most kMaxCallArguments arguments and an object or
//   nothing as its options;
// - a request written back as a message decodes to the same request;
// - the service's answers to it (result, error) are JSON that carries its
//   id and what was answered.
//
// Input: the message's text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/control_request.h"

namespace {

using namespace pagewell::service;

void check(bool condition) {
  if (!condition) std::abort();
}

bool isMemberName(const std::string& name) {
  if (name.empty() || name.size() > kMaxMemberName) return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

bool needsName(const std::string& op) { return op == "get" || op == "put" || op == "call"; }

bool isKnownOp(const std::string& op) {
  for (const char* known : {"get", "put", "call", "members", "acquire", "pageImage", "thumbnail", "output"})
    if (op == known) return true;
  return false;
}

void checkShape(const ControlRequest& request) {
  check(request.id >= 0 && request.id <= 9007199254740991.0 && request.id == std::floor(request.id));
  check(isKnownOp(request.op));
  check(needsName(request.op) ? isMemberName(request.name) : request.name.empty());
  if (request.op != "put") check(request.value.isNull());
  check(request.args.size() <= kMaxCallArguments);
  check(request.options.isNull() || request.options.kind() == Json::Kind::Object);
}

// The request as a page would send it; the members its op does not read
// are left out.
std::string message(const ControlRequest& request) {
  Json::Object members{{"id", request.id}, {"op", request.op}};
  if (needsName(request.op)) members.emplace_back("name", request.name);
  if (request.op == "put") members.emplace_back("value", request.value);
  members.emplace_back("args", request.args);
  if (!request.options.isNull()) members.emplace_back("options", request.options);
  return toJson(Json(std::move(members)));
}

void checkWrittenBack(const ControlRequest& request) {
  const ReadRequest again = readControlRequest(message(request));
  check(again.request.has_value());
  const ControlRequest& read = *again.request;
  check(read.id == request.id && read.op == request.op && read.name == request.name);
  check(toJson(read.value) == toJson(request.value) && toJson(read.args) == toJson(request.args) &&
        toJson(read.options) == toJson(request.options));
}

void checkAnswers(const ControlRequest& request) {
  const std::optional<Json> result = parseJson(resultMessage(request.id, request.args));
  check(result && result->find("id") && result->find("id")->number() == request.id);
  check(result->find("result") && toJson(*result->find("result")) == toJson(request.args));
  const std::optional<Json> error = parseJson(errorMessage(request.id, request.name));
  check(error && error->find("error") && error->find("error")->text() == request.name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ReadRequest read = readControlRequest(text);
  check(read.request.has_value() == read.error.empty());
  if (!read.request) return 0;
  checkShape(*read.request);
  checkWrittenBack(*read.request);
  checkAnswers(*read.request);
  return 0;
}
