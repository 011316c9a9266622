#pragma once
// The local save behind btnSave, and the saving of the upload reply
// (SaveUploadReturnString). Both write into the user's documents folder,
// never outside it (save_path.h), and replace a file only with a complete
// new one (formats/atomic_file.h).
#include <string>
#include <string_view>

namespace pagewell {

class TTwainForm;

// The user's personal documents folder from the shell, or an empty text
// when the shell cannot give it.
std::wstring DocumentsFolder();

// btnSave. With no page, nothing happens. Otherwise the outcome goes to
// SaveLocalSuccess and SaveLocalError, and OnSaveLocal is raised in every
// case. Failures (a refused name, an abort while several pages are
// encoded, an encoder or disk error) write nothing and keep any old file.
void SaveLocal(TTwainForm& form);

// UploadReturnString and CR LF as the text file `fileName` in the documents
// folder (whose missing folders are not created). Raises std::runtime_error
// with the reason on failure.
void SaveUploadReturnString(const TTwainForm& form, std::wstring_view fileName);

}  // namespace pagewell
