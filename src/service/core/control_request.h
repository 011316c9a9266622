#pragma once
// The messages a page sends over /control and the service's answers.
//
//   {"id":1,"op":"get","name":"ImageCount"}          -> {"id":1,"result":3}
//   {"id":2,"op":"put","name":"Resolution","value":300}
//   {"id":3,"op":"call","name":"SetThumbnails","args":[80,100,1]}
//   {"id":4,"op":"members"}                          -> the type library's names
//   {"id":5,"op":"acquire"}, "pageImage", "thumbnail", "output": the extras
//   an error                                         -> {"id":1,"error":"..."}
//   an event                                         -> {"event":"OnAcquire","args":[]}
#include <optional>
#include <string>

#include "json.h"

namespace pagewell::service {

constexpr size_t kMaxMemberName = 64;
constexpr size_t kMaxCallArguments = 16;

struct ControlRequest {
  double id = 0;
  std::string op;    // get, put, call, members, acquire, pageImage, thumbnail, output
  std::string name;  // the member, for get, put and call
  Json value;        // put: the new value
  Json::Array args;  // call: the arguments in order
  Json options;      // the extras' options ({"page":1,"width":800,"type":"png"})
};

// The request the message asks for, or an explanation of what is wrong with
// it; a message that is not a JSON object with a numeric id and a known op
// is malformed, and the connection that sent it ends.
struct ReadRequest {
  std::optional<ControlRequest> request;
  std::string error;
};
ReadRequest readControlRequest(std::string_view message);

std::string resultMessage(double id, const Json& result);
std::string errorMessage(double id, const std::string& error);
std::string eventMessage(const std::string& name, Json::Array args);

}  // namespace pagewell::service
