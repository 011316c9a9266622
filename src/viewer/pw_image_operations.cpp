// The image operations of the viewer: each hands the command to the bitmap
// with the viewer's constants and shows the result.
#include <cmath>

#include "platform/gdi_text_renderer.h"
#include "viewer/pw_image.h"
#include "viewer/raster_gdi.h"

namespace pagewell {

namespace {

// Dots per inch a page can carry without the pixels-per-metre value
// overflowing.
constexpr int kMaxDpi = 200000;

}  // namespace

void TPWImage::Clear() {
  image_.reset();
  viewOnly_ = {};
  micrText_.clear();
  Layout();
}

void TPWImage::SetColorMode(int mode) {
  if (!image_ || mode < cmTrueColor || mode > cmUnknown) return;
  image_->SetColorMode(static_cast<TColorMode>(mode));
  Layout();
}

int TPWImage::ColorMode() const { return image_ ? image_->ColorMode : cmUnknown; }

HBITMAP TPWImage::ImageHandle() const { return image_ ? CreateBitmapHandle(*image_) : nullptr; }

// The bitmap behind the handle becomes the image in its own pixel format
// when that is 1, 4, 8 or 24 bits (else 24 bits), with its palette.
void TPWImage::LoadFromHandle(HBITMAP handle) {
  if (!handle) return;
  image_.reset();
  viewOnly_ = {};
  TluBitmap read;
  if (ReadBitmapHandle(handle, read) && read.Width() > 0) {
    read.DetectColorMode();
    const TPixelFormat format = read.PixelFormat();
    const bool kept = format == TPixelFormat::pf1bit || format == TPixelFormat::pf4bit ||
                      format == TPixelFormat::pf8bit || format == TPixelFormat::pf24bit;
    auto image = std::make_unique<TluBitmap>();
    image->SetPixelFormat(kept ? format : TPixelFormat::pf24bit);
    image->SetSize(read.Width(), read.Height());
    image->DetectColorMode();
    image->CopyPaletteFrom(read);
    image->Draw(read, 0, 0);
    // The mode was found for the format's default palette; with the page's
    // own palette in place a gray page is gray and two colours are not
    // black and white, which the encoders' choice depends on.
    image->DetectColorMode();
    image_ = std::move(image);
  }
  Layout();
}

void TPWImage::SetImage(std::unique_ptr<TluBitmap> image) {
  image_ = std::move(image);
  viewOnly_ = {};
  Layout();
}

std::unique_ptr<TluBitmap> TPWImage::KeepViewOnly() {
  if (!image_) return nullptr;
  if (zoom_ == 100.0) return std::make_unique<TluBitmap>(*image_);
  RenderDisplayBitmap();
  viewOnly_ = {true, image_->Width(), image_->Height()};
  return std::move(image_);
}

int TPWImage::XDpi() const { return image_ ? image_->XDpi() : 0; }
int TPWImage::YDpi() const { return image_ ? image_->YDpi() : 0; }

void TPWImage::SetXDpi(int dpi) {
  if (image_ && dpi >= 0 && dpi <= kMaxDpi) image_->SetXDpi(dpi);
}

void TPWImage::SetYDpi(int dpi) {
  if (image_ && dpi >= 0 && dpi <= kMaxDpi) image_->SetYDpi(dpi);
}

// A thumbnail takes the size of its zoomed page: fitted into w × h first,
// then shrunk to the picture.
void TPWImage::FitToSize(int width, int height) {
  if (!autoZoom_ || !ImageLoaded()) return;
  SetBounds(left_, top_, width, height);
  SetBounds(left_, top_, scaledWidth_, scaledHeight_);
}

void TPWImage::Rotate(double angle) {
  if (!image_ || !std::isfinite(angle)) return;
  image_->Rotate(false, clWhite, angle);
  Layout();
}

void TPWImage::Deskew() {
  if (!image_) return;
  image_->Deskew(deskewRange_, false, clWhite);
  Layout();
}

void TPWImage::Despeckle() {
  if (!image_) return;
  image_->Despeckle(9);
  Repaint();
}

void TPWImage::StampText(const std::wstring& text) {
  if (!image_) return;
  TGdiTextRenderer renderer;
  image_->StampText(renderer, text);
  Layout();
}

void TPWImage::CropToRectangle(int left, int right, int top, int bottom) {
  // An inverted rectangle would leave an earlier selection in place.
  if (!image_ || right < left || bottom < top) return;
  image_->SetSelection(left, top, right, bottom);
  image_->CropToSelection();
  image_->ClearSelection();
  Layout();
}

void TPWImage::SaveImage(TMemoryStream& stream, int formatCode) {
  if (!image_) return;
  image_->SaveToStreamAs(stream, formatCode, 90, "", "", "", "");
}

}  // namespace pagewell
