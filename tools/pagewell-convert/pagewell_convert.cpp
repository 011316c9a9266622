#include "pagewell_convert.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "convert_options.h"
#include "encode_pages.h"
#include "input_pages.h"
#include "output_format.h"
#include "page_operations.h"
#include "formats/atomic_file.h"
#include "imaging/auto_color.h"
#include "imaging/page_filter.h"

namespace pagewell::convert {

const char* const kHelpText =
    "Usage: pagewell-convert [options] INPUT... OUTPUT\n"
    "\n"
    "Converts scanned pages with the Pagewell imaging core.\n"
    "\n"
    "INPUT    BMP (1, 4, 8 or 24 bits), PNG, JPEG or TIFF; every page of a\n"
    "         multi-page TIFF is read. Several inputs give several pages.\n"
    "OUTPUT   the file to write. Its extension picks the format unless --format\n"
    "         is given: .bmp .gif .jpg/.jpeg/.jpe .pcx .tif/.tiff .png .psd\n"
    "         .wbm/.wbmp .pdf; any other extension writes PDF.\n"
    "\n"
    "Page operations, applied to every page in the order they appear:\n"
    "  --dpi N | --dpi X,Y     set the resolution in dots per inch (1 to 65535)\n"
    "  --color-mode N          convert the colours: 0 true colour, 1 256-colour\n"
    "                          palette, 2 256 grays, 3 16-colour palette,\n"
    "                          4 16 grays, 5 two colours, 6 black and white\n"
    "  --rotate DEG            rotate counter-clockwise by DEG degrees, any\n"
    "                          angle (450 turns like 90); uncovered corners\n"
    "                          become white\n"
    "  --flip h|v              mirror left-right (h) or upside down (v)\n"
    "  --crop L,T,R,B          keep the pixels from (L,T) to (R,B) inclusive\n"
    "  --deskew                straighten the page (skew up to 15 degrees)\n"
    "  --despeckle N           remove specks of up to N pixels (1 to 9)\n"
    "  --drop-blank            leave out pages with nothing on them but paper\n"
    "                          (tint, show-through, dust, punch holes, edge\n"
    "                          shadows); a page with any mark stays\n"
    "  --auto-colour           keep each page in the smallest colour mode that\n"
    "                          loses nothing: colour pages without colour\n"
    "                          become gray, text and line art black and white;\n"
    "                          stamps, signatures, logos and photographs keep\n"
    "                          their colour, photographs their tones\n"
    "\n"
    "Output options:\n"
    "  --format EXT            one of tif pdf jpg bmp gif pcx png wbm psd\n"
    "  --quality N             JPEG quality 1 to 100 for JPEG files and the\n"
    "                          JPEG pages of PDF files (default 90)\n"
    "  -h, --help              show this text\n"
    "\n"
    "Several pages need TIFF or PDF output and become one multi-page file:\n"
    "black-and-white pages as CCITT Group 4, other pages uncompressed (TIFF)\n"
    "or as JPEG (PDF).\n"
    "\n"
    "--drop-blank and --auto-colour act after the page operations.\n"
    "\n"
    "Exit status: 0 success; 1 usage error; 2 an input cannot be read, the\n"
    "output cannot be written (no partial output file is left) or every page\n"
    "was blank.\n";

namespace {

constexpr int kSuccess = 0;
constexpr int kUsageError = 1;
constexpr int kFileError = 2;

int UsageError(std::ostream& err, const std::string& message) {
  err << "pagewell-convert: " << message << "\nTry 'pagewell-convert --help'.\n";
  return kUsageError;
}

// A page that was read but could not be edited or encoded: the output's fault.
class EOutputError : public std::runtime_error {
 public:
  explicit EOutputError(const std::string& message) : std::runtime_error(message) {}
};

int FileError(std::ostream& err, const std::string& path, const std::string& message) {
  err << "pagewell-convert: " << path << ": " << message << "\n";
  return kFileError;
}

}  // namespace

int RunPagewellConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TConvertOptions options;
  try {
    options = ParseConvertOptions(args);
  } catch (const EUsageError& e) {
    return UsageError(err, e.what());
  }
  if (options.Help) {
    out << kHelpText;
    return kSuccess;
  }
  const TFormatCode code = ResolveOutputFormat(options.Format, options.Output);
  if (options.Inputs.size() > 1 && !FormatHoldsSeveralPages(code)) {
    return UsageError(err, "several pages need TIFF or PDF output");
  }

  // Page by page: each is read, edited and encoded before the next is
  // decoded, so that memory holds the input file, the encoded pages and one
  // picture rather than every picture at once. Nothing is written before
  // the last page is encoded.
  TPageEncoder encoder(code, options.Quality);
  const TPageFilterSettings filter{options.DropBlank, options.AutoColour ? acBlackWhiteWhenTextOnly : acOff};
  int kept = 0;
  for (const std::string& input : options.Inputs) {
    try {
      ForEachInputPage(input, [&](TluBitmap page, int pagesInFile) {
        try {
          if (options.Inputs.size() > 1 || pagesInFile > 1) encoder.ExpectSeveralPages();
          for (const TPageOperation& operation : options.Operations) ApplyOperation(page, operation);
          if (FilterPage(page, filter) == TPageVerdict::Discard) return;
          encoder.Add(std::move(page));
          ++kept;
        } catch (const EUsageError&) {
          throw;
        } catch (const std::exception& e) {
          throw EOutputError(e.what());
        }
      });
    } catch (const EUsageError& e) {
      return UsageError(err, e.what());
    } catch (const EOutputError& e) {
      return FileError(err, options.Output, e.what());
    } catch (const std::exception& e) {
      return FileError(err, input, e.what());
    }
  }

  if (kept == 0) return FileError(err, options.Output, "every page is blank: nothing written");
  try {
    const std::vector<std::uint8_t> file = encoder.Finish();
    WriteFileAtomically(options.Output, file.data(), file.size());
  } catch (const std::exception& e) {
    return FileError(err, options.Output, e.what());
  }
  return kSuccess;
}

}  // namespace pagewell::convert
