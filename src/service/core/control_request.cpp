#include "control_request.h"

#include <cmath>

namespace pagewell::service {
namespace {

bool isKnownOp(const std::string& op) {
  for (const char* known : {"get", "put", "call", "members", "acquire", "pageImage", "thumbnail", "output"})
    if (op == known) return true;
  return false;
}

bool needsName(const std::string& op) { return op == "get" || op == "put" || op == "call"; }

bool isMemberName(const std::string& name) {
  if (name.empty() || name.size() > kMaxMemberName) return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

ReadRequest malformed(const char* why) { return {std::nullopt, why}; }

}  // namespace

ReadRequest readControlRequest(std::string_view message) {
  std::optional<Json> json = parseJson(message);
  if (!json || json->kind() != Json::Kind::Object) return malformed("a message is a JSON object");
  const Json* id = json->find("id");
  const Json* op = json->find("op");
  if (!id || id->kind() != Json::Kind::Number || id->number() < 0 || id->number() > 9007199254740991.0 ||
      id->number() != std::floor(id->number()))
    return malformed("\"id\" is a whole number");
  if (!op || op->kind() != Json::Kind::String || !isKnownOp(op->text())) return malformed("unknown \"op\"");
  ControlRequest request;
  request.id = id->number();
  request.op = op->text();
  if (needsName(request.op)) {
    const Json* name = json->find("name");
    if (!name || name->kind() != Json::Kind::String || !isMemberName(name->text()))
      return malformed("\"name\" is a member name");
    request.name = name->text();
  }
  if (request.op == "put") {
    const Json* value = json->find("value");
    if (!value) return malformed("\"put\" needs a \"value\"");
    request.value = *value;
  }
  if (const Json* args = json->find("args")) {
    if (args->kind() != Json::Kind::Array || args->items().size() > kMaxCallArguments)
      return malformed("\"args\" is an array of at most 16 values");
    request.args = args->items();
  }
  if (const Json* options = json->find("options")) {
    if (options->kind() != Json::Kind::Object) return malformed("\"options\" is an object");
    request.options = *options;
  }
  return {std::move(request), {}};
}

std::string resultMessage(double id, const Json& result) {
  return toJson(Json(Json::Object{{"id", id}, {"result", result}}));
}

std::string errorMessage(double id, const std::string& error) {
  return toJson(Json(Json::Object{{"id", id}, {"error", error}}));
}

std::string eventMessage(const std::string& name, Json::Array args) {
  return toJson(Json(Json::Object{{"event", name}, {"args", Json(std::move(args))}}));
}

}  // namespace pagewell::service
