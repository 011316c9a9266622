// The form's page list: every acquired image becomes a page viewer in the
// list and in the thumbnail strip; the current page is shown in the main
// viewer; the navigation and arranging buttons and the page members move
// through the list and change it.
#include <algorithm>

#include "element_alerts.h"
#include "form_window_classes.h"
#include "page_images.h"
#include "page_store/windows/temp_page_file.h"
#include "page_viewer_list.h"
#include "slot_label.h"
#include "twain_form.h"

namespace pagewell {
namespace {

struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
};

// A component's place in its parent.
Bounds boundsOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void placeWindow(HWND window, const Bounds& b) {
  SetWindowPos(window, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Whether the component itself is shown, whether or not the form is on
// screen (the form waits in a hidden window while no host shows it).
bool shownItself(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

void showWindow(HWND window, bool visible) {
  if (shownItself(window) != visible) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

// The page's bitmap goes from one viewer to the other through a bitmap
// handle: 1-, 4-, 8- and 24-bit pages keep their format and palette. The
// handle carries no resolution, so that is copied on its own.
void copyPage(const TPWImage& from, TPWImage& to) {
  HBITMAP handle = from.ImageHandle();
  if (!handle) return;
  to.LoadFromHandle(handle);
  DeleteObject(handle);
  const TluBitmap* source = from.Image();
  TluBitmap* target = to.Image();
  if (!source || !target) return;
  target->XPelsPerMeter = source->XPelsPerMeter;
  target->YPelsPerMeter = source->YPelsPerMeter;
}

// The buttons that need a page to work on.
const char* const kEditingAndOutputButtons[] = {"btnCrop", "btnDeskew", "btnDespeckle", "btnRot180", "btnRot90CW",
                                                "btnRot90CCW", "btnSave", "btnText", "btnUpload"};

}  // namespace

// --- the list's life ----------------------------------------------------------

void TTwainForm::createPageList() {
  pages_ = std::make_unique<TPWIList>();
  // Page files of earlier processes that Windows could not delete.
  RemoveLeftoverPageFiles();
  pageImages_ = std::make_unique<TPageImages>([] { return OpenTempPageFile(); }, TPageImages::kDefaultMemoryBudget);
}

void TTwainForm::freePageList() {
  awaitingMICR_ = nullptr;
  if (pages_) pages_->Clear();
  if (pageImages_) pageImages_->Clear();
}

void TTwainForm::freeSlotLabels() { slotLabels_.clear(); }

unsigned TTwainForm::pageCount() const { return pages_ ? pages_->Count() : 0; }

TPWImage* TTwainForm::pageViewer(unsigned position) { return pages_ ? pages_->Get(position) : nullptr; }

TPageStoreError TTwainForm::pageImage(unsigned position, TluBitmap& image) {
  const TPWImage* page = pageViewer(position);
  if (!page) return TPageStoreError::NoSuchPage;
  return pageImages_->Fetch(*page, image);
}

std::wstring TTwainForm::currentPageMICR() const {
  if (!pages_ || state_.currentPage == 0) return {};
  const TPWImage* page = pages_->Get(state_.currentPage);
  return page ? page->MICRText() : std::wstring();
}

// --- adding a page ------------------------------------------------------------------

// The main viewer has just taken an image from the scanner: it becomes the
// last page.
void TTwainForm::addAcquiredPage() {
  TPWImage& main = mainViewer();
  if (!main.ImageLoaded()) return;
  if (shownItself(component("shpMain"))) showWindow(main.Handle(), true);

  auto page = std::make_unique<TPWImage>(component("grpThumbs"), 10, 39, state_.thumbnailWidth,
                                         state_.thumbnailHeight);
  copyPage(main, *page);
  if (!page->ImageLoaded()) return;
  page->SetAutoZoom(true);
  fitThumbnail(*page);
  page->SetScaleToGray(true);
  // The thumbnail keeps its view; the image goes to the store. A page that
  // cannot be kept (the disk is full) ends the batch as a cancel does.
  if (const TPageStoreError error = pageImages_->Keep(*page); error != TPageStoreError::None) {
    // Said once the batch is over, not in the middle of a transfer.
    unkeptPageError_ = error;
    main.EndAcquisition();
    return;
  }
  // A cheque's MICR line is read once its transfer has ended: the session
  // now holds the text of the page before this one in the batch.
  if (awaitingMICR_) awaitingMICR_->SetMICRText(main.SessionMICRText());
  awaitingMICR_ = page.get();
  page->OnClick = [this](TPWImage& clicked) { onThumbnailClick(clicked); };
  page->SetPageNumber(static_cast<int>(pages_->Count() + 1));
  pages_->Add(std::move(page), 0);

  state_.currentPage = pages_->Count();
  if (state_.firstVisiblePage == 0) state_.firstVisiblePage = 1;
  showCurrentPage();
  refreshThumbnails();
  events_.raise(FormEvent::Acquire);
  // The page's handler may have cleared the list meanwhile.
  enableEditingAndOutput(pageCount() > 0);
}

// The acquisition is over: the main viewer keeps the MICR text read after
// the last transfer, which is the last page's.
void TTwainForm::acquisitionFinished() {
  if (awaitingMICR_) awaitingMICR_->SetMICRText(mainViewer().MICRText());
  awaitingMICR_ = nullptr;
  if (unkeptPageError_ != TPageStoreError::None) {
    // The main viewer still shows the page that could not be kept.
    if (pageCount() == 0) mainViewer().Clear();
    else showCurrentPage();
    alertPageStoreError(PageStep::Keep, unkeptPageError_);
    unkeptPageError_ = TPageStoreError::None;
  }
  applySingleImageMode();
}

void TTwainForm::fitThumbnail(TPWImage& page) { page.FitToSize(state_.thumbnailWidth, state_.thumbnailHeight); }

void TTwainForm::refitThumbnail(TPWImage& page) {
  const TPageStoreError error = pageImages_->Refit(page, state_.thumbnailWidth, state_.thumbnailHeight);
  if (error != TPageStoreError::None) alertPageStoreError(PageStep::Show, error);
}

TPageStoreError TTwainForm::editPage(TPWImage& page, const std::function<void(TPWImage&)>& edit) {
  const TPageStoreError error = pageImages_->Edit(page, state_.thumbnailWidth, state_.thumbnailHeight, edit);
  if (error != TPageStoreError::None) alertPageStoreError(PageStep::Edit, error);
  return error;
}

void TTwainForm::onThumbnailClick(TPWImage& page) {
  if (page.PageNumber() < 1 || static_cast<unsigned>(page.PageNumber()) > pageCount()) return;
  state_.currentPage = static_cast<unsigned>(page.PageNumber());
  showCurrentPage();
  refreshThumbnails();
}

// --- the main viewer -------------------------------------------------------------------

// The current page is copied into the main viewer, which is fitted into
// shpMain inside its border and centred on it.
void TTwainForm::showCurrentPage() {
  TPWImage* page = pageViewer(state_.currentPage);
  if (!page) return;
  TPWImage& main = mainViewer();
  // A page that cannot be read back is not shown at all rather than shown
  // wrong.
  auto image = std::make_unique<TluBitmap>();
  const TPageStoreError error = pageImages_->Fetch(*page, *image);
  if (error == TPageStoreError::None) {
    main.SetImage(std::move(image));
  } else {
    main.Clear();
    alertPageStoreError(PageStep::Show, error);
  }

  const LayoutConstants& c = state_.layout;
  HWND frame = component("shpMain");
  Bounds area = boundsOf(frame);
  const int inset = 2 * (c.mainBorder + 1);
  const int smallest = inset + c.minimumMainSize;
  if (area.width < smallest || area.height < smallest) {
    area.width = std::max(area.width, smallest);
    area.height = std::max(area.height, smallest);
    placeWindow(frame, area);
  }
  main.FitToSize(area.width - inset, area.height - inset);
  main.SetBounds(area.left + (area.width - main.Width()) / 2, area.top + (area.height - main.Height()) / 2,
                 main.Width(), main.Height());
}


// --- the strip ---------------------------------------------------------------------------

void TTwainForm::layOutThumbnailStrip(std::wstring_view method) {
  HWND strip = component("grpThumbs");
  Bounds stripBounds = boundsOf(strip);
  Bounds main = boundsOf(component("shpMain"));
  StripLayoutRequest request;
  request.stripWidth = stripBounds.width;
  request.stripHeight = stripBounds.height;
  request.mainWidth = main.width;
  request.mainHeight = main.height;
  request.rows = state_.thumbRows;
  request.captionHeight = thumbnailCaptionHeight();
  request.constants = state_.layout;
  const StripLayout layout = layOutStrip(request);

  const bool thumbnailsResized =
      layout.thumbnailWidth != state_.thumbnailWidth || layout.thumbnailHeight != state_.thumbnailHeight;
  strip_ = layout;
  state_.thumbnailWidth = layout.thumbnailWidth;
  state_.thumbnailHeight = layout.thumbnailHeight;
  state_.thumbnailColumns = layout.columns;
  if (layout.stripWidth != stripBounds.width || layout.stripHeight != stripBounds.height)
    placeWindow(strip, {stripBounds.left, stripBounds.top, layout.stripWidth, layout.stripHeight});
  warnStripLayout(method, layout);

  freeSlotLabels();
  HWND highlight = component("shpCurrent");
  Bounds highlightBounds = boundsOf(highlight);
  placeWindow(highlight, {highlightBounds.left, highlightBounds.top, layout.highlightWidth, layout.highlightHeight});
  for (const char* button : {"btnFirst", "btnPageBack", "btnPrev", "btnNext", "btnPageForward", "btnLast"}) {
    HWND window = component(button);
    Bounds b = boundsOf(window);
    placeWindow(window, {b.left, layout.navigationButtonTop, b.width, b.height});
  }
  // The pages stay; their thumbnails take the new cell size.
  if (thumbnailsResized && pages_) pages_->ForEach([this](TPWImage& page, unsigned) { refitThumbnail(page); });
}

void TTwainForm::warnStripLayout(std::wstring_view method, const StripLayout& layout) {
  const std::wstring_view element = L"Thumbnails";
  if (layout.rowsDropped) alertElementResult(method, kThumbRowsReduced, element);
  if (layout.stripHeightened) alertElementResult(method, kThumbStripHeightened, element);
  if (layout.stripWidened) alertElementResult(method, kThumbStripWidened, element);
}

// Every page viewer is placed in its cell or hidden, in one walk of the list;
// the labels of the filled slots show the page numbers and the highlight
// lies behind the current page.
void TTwainForm::refreshThumbnails() {
  HWND highlight = component("shpCurrent");
  const unsigned count = pageCount();
  if (count == 0 || strip_.columns < 1) {
    for (const WindowHandle& label : slotLabels_) showWindow(label.get(), false);
    showWindow(highlight, false);
    return;
  }
  const int slots = strip_.slots();
  state_.firstVisiblePage = firstVisibleFor(state_.currentPage, state_.firstVisiblePage, slots);
  const unsigned first = state_.firstVisiblePage;
  const int captionTop = thumbnailCaptionHeight();
  const COLORREF highlightColor = shapeBrush(highlight);
  int filled = 0;

  pages_->ForEach([&](TPWImage& page, unsigned p) {
    if (p < first || p - first >= static_cast<unsigned>(slots)) {
      showWindow(page.Handle(), false);
      return;
    }
    const int slot = static_cast<int>(p - first) + 1;
    Point at = thumbnailPosition(strip_, captionTop, state_.layout, slot, page.Width(), page.Height());
    if (at.x != page.Left() || at.y != page.Top()) page.SetBounds(at.x, at.y, page.Width(), page.Height());
    showWindow(page.Handle(), true);

    while (static_cast<int>(slotLabels_.size()) < slot) slotLabels_.push_back(createSlotLabel(component("grpThumbs")));
    HWND label = slotLabels_[static_cast<size_t>(slot - 1)].get();
    setSlotLabelCaption(label, std::to_wstring(p));
    Point labelAt = slotLabelPosition(strip_, captionTop, state_.layout, slot - 1, slotLabelWidth(label));
    moveSlotLabel(label, labelAt.x, labelAt.y);
    setSlotLabelColor(label, p == state_.currentPage ? highlightColor : CLR_INVALID);
    showWindow(label, true);
    filled = slot;
  });
  for (size_t i = static_cast<size_t>(filled); i < slotLabels_.size(); ++i) showWindow(slotLabels_[i].get(), false);

  // The highlight is a backdrop, and the thumbnails and labels made since
  // it was put behind them were made below it.
  Point at = highlightPosition(strip_, captionTop, state_.layout, state_.currentPage, first);
  SetWindowPos(highlight, HWND_BOTTOM, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  showWindow(highlight, true);
}

void TTwainForm::renumberPages() {
  pages_->ForEach([](TPWImage& page, unsigned position) { page.SetPageNumber(static_cast<int>(position)); });
}

// --- buttons and members ------------------------------------------------------------------

bool TTwainForm::runPageCommand(const std::string& name) {
  static const struct {
    const char* button;
    Navigation navigation;
  } kNavigation[] = {{"btnFirst", Navigation::First},     {"btnPageBack", Navigation::PageBack},
                     {"btnPrev", Navigation::Previous},   {"btnNext", Navigation::Next},
                     {"btnPageForward", Navigation::PageForward}, {"btnLast", Navigation::Last}};
  for (const auto& entry : kNavigation)
    if (name == entry.button) {
      navigatePages(entry.navigation);
      return true;
    }
  if (name == "btnDelete") deleteCurrentPage();
  else if (name == "btnMoveUp") movePage(true);
  else if (name == "btnMoveDown") movePage(false);
  else if (name == "btnClear") clearPages();
  else return false;
  return true;
}

void TTwainForm::navigatePages(Navigation button) {
  const unsigned count = pageCount();
  if (count == 0) return;
  PageWindow window = navigate(button, {state_.currentPage, state_.firstVisiblePage}, count,
                               static_cast<unsigned>(strip_.slots()));
  state_.currentPage = window.current;
  state_.firstVisiblePage = window.first;
  showCurrentPage();
  refreshThumbnails();
}

void TTwainForm::deleteCurrentPage() {
  const unsigned count = pageCount();
  if (count == 1) {
    clearPages();
  } else if (count > 1) {
    TPWImage* page = pages_->Get(state_.currentPage);
    if (page == awaitingMICR_) awaitingMICR_ = nullptr;
    if (page) pageImages_->Forget(*page);
    pages_->Delete(state_.currentPage);
    if (state_.currentPage > pages_->Count()) state_.currentPage = pages_->Count();
    showCurrentPage();
    renumberPages();
    refreshThumbnails();
  }
  const bool singleImage = !shownItself(component("grpThumbs"));
  enable("btnAcquire", !(singleImage && pageCount() > 0));
}

void TTwainForm::movePage(bool up) {
  PageWindow window{state_.currentPage, state_.firstVisiblePage};
  const unsigned count = pageCount();
  if (up ? !canMoveUp(window, count) : !canMoveDown(window, count)) return;
  pages_->SwapWithPrevious(up ? window.current : window.current + 1);
  window = up ? afterMoveUp(window) : afterMoveDown(window);
  state_.currentPage = window.current;
  state_.firstVisiblePage = window.first;
  renumberPages();
  refreshThumbnails();
}

void TTwainForm::clearPages() {
  freePageList();
  mainViewer().Clear();
  state_.currentPage = 0;
  state_.firstVisiblePage = 0;
  enable("btnAcquire", true);
  enableEditingAndOutput(false);
  refreshThumbnails();
}

// Any other value than 1..count is ignored.
void TTwainForm::setImageIndex(long index) {
  if (index < 1 || static_cast<unsigned long>(index) > pageCount()) return;
  state_.currentPage = static_cast<unsigned>(index);
  showCurrentPage();
  refreshThumbnails();
}

void TTwainForm::setThumbnails(long width, long height, long rows) {
  const std::wstring_view method = L"SetThumbnails", element = L"Thumbnails";
  HWND strip = component("grpThumbs");
  Bounds b = boundsOf(strip);
  if (height >= 1) {
    const int smallest = minimumStripHeight(thumbnailCaptionHeight(), state_.layout);
    b.height = height < smallest ? smallest : static_cast<int>(height);
    if (height < smallest) alertElementResult(method, kElementValueReplaced, element);
  } else {
    alertElementResult(method, kElementValueRefused, element);
  }
  const int narrowest = minimumStripWidth(state_.layout);
  b.width = width < narrowest ? narrowest : static_cast<int>(width);
  if (width < narrowest) alertElementResult(method, kElementValueReplaced, element);
  placeWindow(strip, b);
  if (rows >= 1) state_.thumbRows = static_cast<int>(rows);
  layOutAndFit(method);
}

void TTwainForm::enableEditingAndOutput(bool enabled) {
  for (const char* name : kEditingAndOutputButtons) enable(name, enabled);
}

// While the strip is hidden the control holds one page at a time: a held
// page keeps Acquire disabled until it is deleted or cleared.
void TTwainForm::applySingleImageMode() {
  if (!shownItself(component("grpThumbs")) && pageCount() > 0) enable("btnAcquire", false);
}

}  // namespace pagewell
