#include "platform/dialog_template.h"

namespace pagewell {
namespace {

constexpr size_t kItemCountIndex = 4;  // cdit's position in DLGTEMPLATE, in WORDs

void pushDword(std::vector<WORD>& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}

}  // namespace

DialogTemplate::DialogTemplate(std::wstring_view title, short width, short height) {
  pushDword(words_, DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  pushDword(words_, 0);  // extended style
  addWord(0);            // item count, patched by addItem
  addWord(0);
  addWord(0);
  addWord(static_cast<WORD>(width));
  addWord(static_cast<WORD>(height));
  addWord(0);  // no menu
  addWord(0);  // default class
  addText(title);
  addWord(8);  // point size
  addText(L"MS Sans Serif");
}

void DialogTemplate::addText(std::wstring_view text) {
  for (wchar_t c : text) addWord(static_cast<WORD>(c));
  addWord(0);
}

void DialogTemplate::alignToDword() {
  if (words_.size() % 2) addWord(0);
}

void DialogTemplate::addItem(WORD atomClass, std::wstring_view text, WORD id, DWORD style, short x,
                             short y, short cx, short cy) {
  alignToDword();
  pushDword(words_, style | WS_CHILD | WS_VISIBLE);
  pushDword(words_, 0);
  addWord(static_cast<WORD>(x));
  addWord(static_cast<WORD>(y));
  addWord(static_cast<WORD>(cx));
  addWord(static_cast<WORD>(cy));
  addWord(id);
  addWord(0xFFFF);
  addWord(atomClass);
  addText(text);
  addWord(0);  // no creation data
  words_[kItemCountIndex] = ++itemCount_;
}

const DLGTEMPLATE* DialogTemplate::get() {
  return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

}  // namespace pagewell
