// TGIFImage::SaveToStream: header, logical screen descriptor, per image its
// extensions, descriptor, local colour map and image data, then the trailer.
// All numbers are 16-bit little-endian.
#include <algorithm>

#include "formats/gif/gif_exception.h"
#include "formats/gif/gif_image.h"
#include "formats/gif/rle_encoder.h"

namespace pagewell {
namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;

void CheckFitsSixteenBits(int value) {
  if (value < 0 || value > 0xFFFF) throw GIFException("Image is too large for a GIF file");
}

void WriteColorMap(TMemoryStream& out, const TGIFColorMap& map) {
  const std::size_t entries = std::size_t{1} << map.BitsPerPixel();
  for (std::size_t i = 0; i < entries; ++i) {
    const TColor c = i < map.Colors.size() ? map.Colors[i] : clBlack;
    const std::uint8_t rgb[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
    out.Write(rgb, 3);
  }
}

void WriteGraphicControl(TMemoryStream& out, const TGIFGraphicControlExtension& gce) {
  out.WriteByte(kExtensionIntroducer);
  out.WriteByte(kGraphicControlLabel);
  out.WriteByte(4);  // block size
  out.WriteByte(static_cast<std::uint8_t>((gce.Disposal & 7) << 2 | (gce.Transparent ? 1 : 0)));
  out.WriteU16LE(gce.Delay);
  out.WriteByte(gce.TransparentColorIndex);
  out.WriteByte(0);  // block terminator
}

void WriteSubBlocks(TMemoryStream& out, const std::vector<std::uint8_t>& data) {
  for (std::size_t offset = 0; offset < data.size(); offset += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - offset);
    out.WriteByte(static_cast<std::uint8_t>(length));
    out.Write(data.data() + offset, length);
  }
  out.WriteByte(0);
}

void WriteImageData(TMemoryStream& out, const TGIFSubImage& image, const TGIFColorMap& map) {
  const int bits = map.BitsPerPixel();
  const int minCodeSize = std::max(2, bits);
  const std::size_t colors = map.Colors.size();
  for (std::uint8_t index : image.Pixels) {
    if (index >= colors) throw GIFException("Pixel index outside the GIF colour map");
  }
  TGIFCodePacker packer;
  TRLEEncoder encoder(minCodeSize, packer);
  encoder.Encode(image.Pixels.data(), image.Pixels.size());
  out.WriteByte(static_cast<std::uint8_t>(minCodeSize));
  WriteSubBlocks(out, packer.Finish());
}

void WriteImage(TMemoryStream& out, const TGIFSubImage& image, const TGIFColorMap& global) {
  for (int value : {image.Left, image.Top, image.Width, image.Height}) CheckFitsSixteenBits(value);
  if (image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height)) {
    throw GIFException("GIF image data does not match its size");
  }
  if (image.GraphicControl) WriteGraphicControl(out, *image.GraphicControl);
  out.WriteByte(kImageSeparator);
  out.WriteU16LE(static_cast<std::uint16_t>(image.Left));
  out.WriteU16LE(static_cast<std::uint16_t>(image.Top));
  out.WriteU16LE(static_cast<std::uint16_t>(image.Width));
  out.WriteU16LE(static_cast<std::uint16_t>(image.Height));
  const bool local = !image.ColorMap.Empty();
  std::uint8_t packed = 0;  // rows in order, never interlaced
  if (local) packed |= 0x80 | (image.ColorMap.Sorted ? 0x20 : 0) | (image.ColorMap.BitsPerPixel() - 1);
  out.WriteByte(packed);
  if (local) WriteColorMap(out, image.ColorMap);
  WriteImageData(out, image, local ? image.ColorMap : global);
}

}  // namespace

void TGIFImage::SaveToStream(TMemoryStream& stream) const {
  if (Images.empty()) throw GIFException("Cannot save a GIF without images");
  const bool v89a = std::any_of(Images.begin(), Images.end(), [](const TGIFSubImage& i) { return i.NeedsVersion89a(); });
  const TGIFSubImage& first = Images.front();
  int screenWidth = 0, screenHeight = 0;
  for (const TGIFSubImage& image : Images) {
    screenWidth = std::max(screenWidth, image.Left + image.Width);
    screenHeight = std::max(screenHeight, image.Top + image.Height);
  }
  CheckFitsSixteenBits(screenWidth);
  CheckFitsSixteenBits(screenHeight);

  TMemoryStream file;
  file.WriteString(v89a ? "GIF89a" : "GIF87a");
  file.WriteU16LE(static_cast<std::uint16_t>(screenWidth));
  file.WriteU16LE(static_cast<std::uint16_t>(screenHeight));
  const bool global = !GlobalColorMap.Empty();
  const TGIFColorMap& resolutionSource = global ? GlobalColorMap : first.ColorMap;
  std::uint8_t packed = static_cast<std::uint8_t>((resolutionSource.BitsPerPixel() - 1) << 4);
  if (global) packed |= 0x80 | (GlobalColorMap.Sorted ? 0x08 : 0) | (GlobalColorMap.BitsPerPixel() - 1);
  file.WriteByte(packed);
  file.WriteByte(0);  // background colour index
  file.WriteByte(0);  // no aspect ratio
  if (global) WriteColorMap(file, GlobalColorMap);
  for (const TGIFSubImage& image : Images) {
    if (image.ColorMap.Empty() && !global) throw GIFException("GIF image without a colour map");
    WriteImage(file, image, GlobalColorMap);
  }
  file.WriteByte(kTrailer);
  stream.Write(file.Data(), file.Size());
}

}  // namespace pagewell
