#pragma once
// IPagewellServiceBridge: what the local service (src/service) asks of the
// control beyond ITwainForm, for pages in current browsers. It is a plain
// COM interface of the control object, outside the type library, so
// ITwainForm and what a page in Internet Explorer sees stay as they are;
// only a host that knows this IID finds it.
#include <oaidl.h>

namespace pagewell {

class TTwainForm;

// {B1E5D0A8-6F1C-4E5B-9A57-3C2D8E4F7A10}
inline constexpr IID IID_IPagewellServiceBridge = {
    0xb1e5d0a8, 0x6f1c, 0x4e5b, {0x9a, 0x57, 0x3c, 0x2d, 0x8e, 0x4f, 0x7a, 0x10}};

// The page address the local service's container gives the control. No web
// page can have it (no browser loads that scheme); only a program that
// loads the control itself can name it, and the service admits each page's
// origin against the allowed origins itself before the page reaches the
// control. So the site lock lets the control work there.
inline constexpr wchar_t kLocalServicePageAddress[] = L"x-pagewell-service:local";

enum PageImageFormat : LONG { kPageImagePng = 0, kPageImageJpeg = 1 };

struct IPagewellServiceBridge : public IUnknown {
  // Presses the Acquire button as the user would and returns when the scan
  // has ended; S_FALSE when the button is disabled (no device, or a scan or
  // upload under way).
  virtual HRESULT STDMETHODCALLTYPE Acquire() = 0;
  // Page `page` (1-based) reduced to `width` pixels (never enlarged), as a
  // PNG or JPEG file in a byte string (SysStringByteLen).
  virtual HRESULT STDMETHODCALLTYPE PageImage(LONG page, LONG width, LONG format, BSTR* bytes) = 0;
  // The file the upload would send with the current settings (format, the
  // current or all pages), as bytes, with the name and content type it
  // would carry.
  virtual HRESULT STDMETHODCALLTYPE Output(BSTR* bytes, BSTR* fileName, BSTR* contentType) = 0;
  // Called once, right after the control is created for a browser
  // session, with the origin of the page it serves
  // ("https://shop.example.com"). From then on the control belongs to that
  // page: its uploads go only to that origin or to the machine's
  // UploadTargets, without cookies, Windows logon or redirects, and the
  // files it writes are marked as coming from that page. E_UNEXPECTED for
  // a second call; E_INVALIDARG for an address without a web origin (the
  // control is served all the same and uploads nowhere).
  virtual HRESULT STDMETHODCALLTYPE ServePage(BSTR pageAddress) = 0;
};

// The bridge to `form` for the control object `control` (a tear-off: it
// keeps the control alive and answers its other interfaces through it).
HRESULT createServiceBridge(TTwainForm& form, IUnknown* control, void** out);

}  // namespace pagewell
