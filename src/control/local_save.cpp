#include "local_save.h"

#include <windows.h>
#include <shlobj.h>

#include <new>
#include <stdexcept>

#include "encode_pages.h"
#include "file_type_rule.h"
#include "form_events.h"
#include "formats/atomic_file.h"
#include "save_path.h"
#include "text/wide_text.h"
#include "twain_form.h"
#include "zone_mark.h"

namespace pagewell {
namespace {

// Where the page's name lands, refused as well when it names a program or
// script or has no type (file_type_rule.h).
SavePath savePathFor(std::wstring_view fileName) {
  SavePath path = ResolveSavePath(DocumentsFolder(), fileName);
  if (!path.error.empty()) return path;
  if (std::optional<std::wstring> refused = RefusedFileTypeMessage(path.path)) {
    path = SavePath{};
    path.error = std::move(*refused);
  }
  return path;
}

// The finished file gets the page's mark of the web. A file system that
// holds no streams cannot take it; the file is kept then, as a browser
// keeps a download there.
void markForPage(const SavePath& path, const FormState& state) {
  static_cast<void>(MarkFromTheWeb(path.path, state.page.address));
}

// Creates the folders between the documents folder and the file.
bool createFolders(const SavePath& path) {
  for (const std::wstring& folder : path.folders) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return true;
}

// The whole save but the event; answers the error message, empty when the
// file was written. A folder that cannot be created is a failure without a
// message.
std::wstring saveSelectedPages(TTwainForm& form, bool& written) {
  const SavePath path = savePathFor(form.text("edtFileName"));
  if (!path.error.empty()) return path.error;
  if (!createFolders(path)) return {};

  const int code = ResolveFileFormat(form);
  // The file is written page by page under a temporary name, which takes
  // the file's name only once it is complete; otherwise it is removed.
  TAtomicFileWriter file(path.path);
  switch (EncodePages(form, file, OutputHoldsAllPages(form, code), code, form.currentPage())) {
    case EncodeOutcome::Written: break;
    case EncodeOutcome::NoPage: return L"There is no page to save";
    case EncodeOutcome::Aborted:
      // The abort is used up by the save it stopped.
      form.state().abortUpload = false;
      return L"The save was aborted; no file was written";
    case EncodeOutcome::PageUnreadable: return L"A page could not be read back; no file was written";
  }
  file.Commit();
  markForPage(path, form.state());
  written = true;
  return {};
}

}  // namespace

std::wstring DocumentsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return folder;
}

void SaveLocal(TTwainForm& form) {
  if (form.pageCount() == 0) return;
  FormState& state = form.state();
  state.saveLocalError.clear();
  state.saveLocalSuccess = false;
  bool written = false;
  try {
    state.saveLocalError = saveSelectedPages(form, written);
    state.saveLocalSuccess = written;
  } catch (const std::bad_alloc&) {
    state.saveLocalError = L"Out of memory";
  } catch (const std::exception& e) {
    state.saveLocalError = wideFromUtf8(e.what());
  }
  form.events().raise(FormEvent::SaveLocal);
}

void SaveUploadReturnString(const TTwainForm& form, std::wstring_view fileName) {
  const SavePath path = savePathFor(fileName);
  if (!path.error.empty()) throw std::runtime_error(utf8FromWide(path.error));
  const std::string text = ansiFromWide(form.state().uploadReturnString) + "\r\n";
  WriteFileAtomically(path.path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  markForPage(path, form.state());
}

}  // namespace pagewell
