#pragma once
// Tag numbers, field types and compression codes of TIFF 6.0 that the codec
// writes or reads.
#include <cstdint>

namespace pagewell::tiff {

enum TTag : std::uint16_t {
  tagImageWidth = 256,
  tagImageLength = 257,
  tagBitsPerSample = 258,
  tagCompression = 259,
  tagPhotometric = 262,
  tagFillOrder = 266,
  tagImageDescription = 270,
  tagMake = 271,
  tagModel = 272,
  tagStripOffsets = 273,
  tagOrientation = 274,
  tagSamplesPerPixel = 277,
  tagRowsPerStrip = 278,
  tagStripByteCounts = 279,
  tagXResolution = 282,
  tagYResolution = 283,
  tagPlanarConfiguration = 284,
  tagT4Options = 292,
  tagResolutionUnit = 296,
  tagSoftware = 305,
  tagDateTime = 306,
  tagArtist = 315,
  tagPredictor = 317,
  tagWhitePoint = 318,
  tagPrimaryChromaticities = 319,
  tagColorMap = 320,
  tagInkSet = 332,
  tagNumberOfInks = 334,
  tagYCbCrCoefficients = 529,
  tagYCbCrSubSampling = 530,
  tagYCbCrPositioning = 531,
  tagReferenceBlackWhite = 532,
  tagCopyright = 33432,
  tagIPTC = 33723,
  tagPhotoshop = 34377,
  tagExifIfd = 34665,
  tagICCProfile = 34675,
};

enum TFieldType : std::uint16_t {
  ftByte = 1,
  ftAscii = 2,
  ftShort = 3,
  ftLong = 4,
  ftRational = 5,
  ftSByte = 6,
  ftUndefined = 7,
  ftSShort = 8,
  ftSLong = 9,
  ftSRational = 10,
  ftFloat = 11,
  ftDouble = 12,
  ftIfd = 13,  // an offset to a sub-directory, as a LONG
};

// Bytes of one value of the type; 0 for types this codec does not know.
constexpr std::uint32_t FieldTypeSize(std::uint16_t type) {
  switch (type) {
    case ftByte: case ftAscii: case ftSByte: case ftUndefined: return 1;
    case ftShort: case ftSShort: return 2;
    case ftLong: case ftSLong: case ftFloat: case ftIfd: return 4;
    case ftRational: case ftSRational: case ftDouble: return 8;
    default: return 0;
  }
}

enum TCompression : std::uint16_t {
  compNone = 1,
  compCCITTHuffman = 2,
  compCCITTGroup3 = 3,
  compCCITTGroup4 = 4,
  compLZW = 5,
  compOldJPEG = 6,
  compPackBits = 32773,
};

enum TPhotometric : std::uint16_t {
  phWhiteIsZero = 0,
  phBlackIsZero = 1,
  phRGB = 2,
  phPalette = 3,
  phMask = 4,
  phSeparated = 5,
  phYCbCr = 6,
};

}  // namespace pagewell::tiff
