#include "com/service_bridge.h"

#include <new>
#include <string>

#include "com/bstr.h"
#include "com/com_error.h"
#include "com/com_ptr.h"
#include "com/error_boundary.h"
#include "encode_pages.h"
#include "formats/byte_sink.h"
#include "page_store/page_store_error.h"
#include "imaging/scale_to_width.h"
#include "page_address_sources.h"
#include "twain_form.h"
#include "upload/multipart_body.h"
#include "upload/windows/registry_content_type.h"

namespace pagewell {
namespace {

// Widths a page in a browser may ask for; a whole 600-dpi page is below.
constexpr LONG kMaxImageWidth = 8192;

BSTR byteString(const TMemoryStream& stream) {
  BSTR bytes = SysAllocStringByteLen(reinterpret_cast<const char*>(stream.Data()), static_cast<UINT>(stream.Size()));
  if (!bytes) throw std::bad_alloc();
  return bytes;
}

class ServiceBridge final : public IPagewellServiceBridge {
 public:
  ServiceBridge(TTwainForm& form, IUnknown* control) : form_(form), control_(control) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid != IID_IPagewellServiceBridge) return control_->QueryInterface(iid, out);
    *out = static_cast<IPagewellServiceBridge*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Acquire() override {
    HWND button = form_.component("btnAcquire");
    if (!button || !IsWindowEnabled(button)) return S_FALSE;
    SendMessageW(button, BM_CLICK, 0, 0);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE PageImage(LONG page, LONG width, LONG format, BSTR* bytes) override {
    if (!bytes) return E_POINTER;
    *bytes = nullptr;
    return guarded([&] {
      if (page < 1 || static_cast<unsigned>(page) > form_.pageCount())
        throw ComError(E_INVALIDARG, "there is no page " + std::to_string(page));
      if (width < 1 || width > kMaxImageWidth) throw ComError(E_INVALIDARG, "a width is 1 to 8192 pixels");
      if (format != kPageImagePng && format != kPageImageJpeg) throw ComError(E_INVALIDARG, "the image is a PNG or a JPEG");
      TluBitmap image;
      TPageStoreError error = form_.pageImage(static_cast<unsigned>(page), image);
      if (error != TPageStoreError::None) throw ComError(E_FAIL, PageStoreErrorText(error));
      TluBitmap scaled = ScaledToWidth(image, width);
      TMemoryStream stream;
      scaled.SaveToStreamAs(stream, format == kPageImagePng ? fcPNG : fcJPEG, 85, "", "", "", "");
      *bytes = byteString(stream);
    });
  }

  HRESULT STDMETHODCALLTYPE Output(BSTR* bytes, BSTR* fileName, BSTR* contentType) override {
    if (!bytes || !fileName || !contentType) return E_POINTER;
    *bytes = *fileName = *contentType = nullptr;
    return guarded([&] {
      const int format = ResolveFileFormat(form_);
      TMemoryStream stream;
      TMemoryStreamSink sink(stream);
      EncodeOutcome outcome = EncodePages(form_, sink, OutputHoldsAllPages(form_, format), format, form_.currentPage());
      if (outcome == EncodeOutcome::PageUnreadable) throw ComError(E_FAIL, "a page could not be read back");
      if (outcome != EncodeOutcome::Written)
        throw ComError(E_FAIL, "there is no output: no page, or several pages in a format of one page");
      std::wstring name = form_.text("edtFileName");
      std::string type = ContentTypeForFormat(format, std::string(name.begin(), name.end()), RegistryContentType);
      *fileName = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
      *contentType = SysAllocStringByteLen(type.data(), static_cast<UINT>(type.size()));
      *bytes = byteString(stream);
    });
  }

  HRESULT STDMETHODCALLTYPE ServePage(BSTR pageAddress) override {
    return ServePageAt(form_.state().page, std::wstring(Bstr::viewOf(pageAddress)));
  }

 private:
  ~ServiceBridge() = default;

  TTwainForm& form_;
  ComPtr<IUnknown> control_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT createServiceBridge(TTwainForm& form, IUnknown* control, void** out) {
  if (!out) return E_POINTER;
  *out = new (std::nothrow) ServiceBridge(form, control);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace pagewell
