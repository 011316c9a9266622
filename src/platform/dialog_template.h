#pragma once
// An in-memory dialog template (DLGTEMPLATE with its items), so modal boxes
// need no resource script and are ordinary dialogs to any tool that looks.
#include <windows.h>

#include <string_view>
#include <vector>

namespace pagewell {

class DialogTemplate {
 public:
  DialogTemplate(std::wstring_view title, short width, short height);
  void addItem(WORD atomClass, std::wstring_view text, WORD id, DWORD style, short x, short y, short cx,
               short cy);
  const DLGTEMPLATE* get();

  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;

 private:
  void addWord(WORD value) { words_.push_back(value); }
  void addText(std::wstring_view text);
  void alignToDword();

  std::vector<WORD> words_;
  WORD itemCount_ = 0;
};

}  // namespace pagewell
