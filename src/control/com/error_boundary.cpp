#include "com/error_boundary.h"

#include <oleauto.h>

#include "com/com_ptr.h"
#include "com/pagewell_h.h"
#include "text/wide_text.h"

namespace pagewell {

void setErrorInfo(const std::string& message) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.put()))) return;
  std::wstring description = wideFromUtf8(message);
  create->SetGUID(IID_ITwainForm);
  create->SetSource(const_cast<LPOLESTR>(L"Pagewell.TwainForm"));
  create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
  ComPtr<IErrorInfo> info = create.query<IErrorInfo>(IID_IErrorInfo);
  if (info) SetErrorInfo(0, info.get());
}

}  // namespace pagewell
