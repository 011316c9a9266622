#include "service_extras.h"

#include <oleauto.h>

#include "wide_text.h"

namespace pagewell::service {
namespace {

constexpr int kDefaultImageWidth = 800;
constexpr int kDefaultThumbnailWidth = 120;

// The description the control left for its failed call.
std::string lastError(const char* fallback) {
  IErrorInfo* info = nullptr;
  std::string text = fallback;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr;
    if (SUCCEEDED(info->GetDescription(&description)) && description)
      text = narrow(std::wstring_view(description, SysStringLen(description)));
    SysFreeString(description);
    info->Release();
  }
  return text;
}

// Takes the bytes out of a byte string and frees it.
std::string takeBytes(BSTR bytes) {
  std::string data(reinterpret_cast<const char*>(bytes), SysStringByteLen(bytes));
  SysFreeString(bytes);
  return data;
}

double numberOption(const Json& options, const char* name, double fallback) {
  const Json* value = options.find(name);
  return value && value->kind() == Json::Kind::Number ? value->number() : fallback;
}

Json binaryHeader(const std::string& type, size_t size) {
  return Json(Json::Object{{"type", type}, {"size", static_cast<double>(size)}});
}

}  // namespace

void ServiceExtras::attach(IUnknown* control) {
  bridge_.reset();
  if (control) control->QueryInterface(IID_IPagewellServiceBridge, bridge_.put_void());
}

bool ServiceExtras::servePage(const std::string& origin) {
  if (!bridge_) return false;
  std::wstring text = widen(origin);
  BSTR address = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  HRESULT hr = bridge_->ServePage(address);
  SysFreeString(address);
  return SUCCEEDED(hr);
}

BridgeOutcome ServiceExtras::run(const ControlRequest& request, std::string& binary) {
  if (!bridge_) return {Json(), request.op + " is not available with this control"};
  if (request.op == "acquire") return acquire();
  if (request.op == "pageImage") return pageImage(request.options, kDefaultImageWidth, binary);
  if (request.op == "thumbnail") return pageImage(request.options, kDefaultThumbnailWidth, binary);
  return output(binary);
}

// True when the scan ran, false when the Acquire button was disabled.
BridgeOutcome ServiceExtras::acquire() {
  HRESULT hr = bridge_->Acquire();
  if (FAILED(hr)) return {Json(), lastError("the scan failed")};
  return {Json(hr == S_OK), {}};
}

BridgeOutcome ServiceExtras::pageImage(const Json& options, int defaultWidth, std::string& binary) {
  const Json* type = options.find("type");
  bool jpeg = type && type->kind() == Json::Kind::String && type->text() == "jpeg";
  if (type && !jpeg && !(type->kind() == Json::Kind::String && type->text() == "png"))
    return {Json(), "\"type\" is \"png\" or \"jpeg\""};
  double page = numberOption(options, "page", 0);
  double width = numberOption(options, "width", defaultWidth);
  if (page < 1 || page > 1e6 || width < 1 || width > 1e6) return {Json(), "\"page\" and \"width\" are positive numbers"};
  BSTR bytes = nullptr;
  if (FAILED(bridge_->PageImage(static_cast<LONG>(page), static_cast<LONG>(width), jpeg ? kPageImageJpeg : kPageImagePng, &bytes)))
    return {Json(), lastError("no image of that page")};
  binary = takeBytes(bytes);
  return {binaryHeader(jpeg ? "image/jpeg" : "image/png", binary.size()), {}};
}

BridgeOutcome ServiceExtras::output(std::string& binary) {
  BSTR bytes = nullptr, fileName = nullptr, contentType = nullptr;
  if (FAILED(bridge_->Output(&bytes, &fileName, &contentType))) return {Json(), lastError("no output")};
  binary = takeBytes(bytes);
  std::string type = takeBytes(contentType);
  Json header = binaryHeader(type, binary.size());
  Json::Object members = header.members();
  members.emplace_back("fileName", narrow(std::wstring_view(fileName, SysStringLen(fileName))));
  SysFreeString(fileName);
  return {Json(std::move(members)), {}};
}

}  // namespace pagewell::service
