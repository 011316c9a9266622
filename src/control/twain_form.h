#pragma once
// TTwainForm: the control's form, a real window hierarchy that the host
// places in-place in its page. It owns its components and all form state,
// runs the creation and destruction sequences and reports its events to the
// control object through FormEventSink.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/com_ptr.h"
#include "element_table.h"
#include "font_notifications.h"
#include "form_events.h"
#include "form_state.h"
#include "acquired_page_filter.h"
#include "framework_properties.h"
#include "page_navigation.h"
#include "page_store/page_store_error.h"
#include "thumbnail_strip_layout.h"
#include "window_handle.h"

namespace pagewell {

class TPWImage;
class TScanPanel;
class TluBitmap;
class TPWIList;
class TPageImages;
struct ComponentDesign;

class TTwainForm {
 public:
  static constexpr int kDesignWidth = 796;
  static constexpr int kDesignHeight = 618;
  static constexpr UINT_PTR kConnectTimerId = 1;
  static constexpr UINT kConnectTimerInterval = 10000;

  // The form looks for TWAIN devices only once the site lock lets it work
  // (startDevices).
  explicit TTwainForm(FormEventSink& events);
  ~TTwainForm();
  TTwainForm(const TTwainForm&) = delete;
  TTwainForm& operator=(const TTwainForm&) = delete;

  HWND window() const { return window_.get(); }
  // Lists the devices and selects the first (creation steps 3 and 4); only
  // the first call does anything.
  void startDevices();
  // Replaces everything the form shows with one line of text: the site
  // lock's refusal (form_refusal_line.cpp).
  void showOnlyLine(const std::wstring& text);
  // The component of that name, or nullptr.
  HWND component(std::string_view name) const;
  FormState& state() { return state_; }
  const FormState& state() const { return state_; }
  FrameworkProperties& framework() { return framework_; }
  // The main viewer PWImageMain: it shows the current image and owns the
  // TWAIN session through which the form scans.
  TPWImage& mainViewer() { return *mainViewer_; }
  // The Acquire tab: devices, scan settings and the Acquire button.
  TScanPanel& scanPanel() { return *scanPanel_; }

  // In-place hosting: the form lives in the host's window while attached and
  // in a hidden parking window otherwise.
  void attach(HWND parent, const RECT& bounds);
  void detach();
  void setBounds(const RECT& bounds);
  void setActive(bool active);
  bool active() const { return active_; }
  void drawTo(HDC dc, const RECT& bounds);

  // State kept in on-screen components.
  std::wstring text(std::string_view name) const;
  void setText(std::string_view name, std::wstring_view text);
  bool checked(std::string_view name) const;
  // Sets the state and runs the component's click handler, as a user's
  // click would.
  void setChecked(std::string_view name, bool checked);

  // Framework members that act on the window.
  void applyColor(DWORD color);
  void applyBorderStyle(AxBorderStyle style);
  // The form's font object. A page that changes it (Size, Bold, ...) sees
  // the change on the form at once.
  IFont* font() const { return font_.get(); }
  // Font written: the form takes a copy of the object it is given.
  void applyFont(IFont* font);
  void showAboutBox();

  // Keyboard navigation for the host's accelerator pass: Tab and Shift+Tab
  // move the focus to the next or previous component. False when the key is
  // not one of those or the focus would leave the form, which is the
  // host's to move on.
  bool moveFocusByTab(const MSG& message);

  void setControlPanelTabs(int count);
  void setThumbRows(int rows);
  void setPageSizeMode(int mode);
  void selectPages(bool allPages);
  // Pages held in the page list.
  unsigned pageCount() const;

  // The page list and the thumbnail strip (page_list_form.cpp). Pages are
  // 1-based; walking them with TPWIList::ForEach costs one step per page.
  TPWIList& pageList() { return *pages_; }
  // The page viewer at the position, or null outside 1..pageCount(). It
  // shows the page's thumbnail; the page's image is in pageImages().
  TPWImage* pageViewer(unsigned position);
  TPageImages& pageImages() { return *pageImages_; }
  // What becomes of a freshly scanned page: blank ones dropped, colour
  // reduced (DiscardBlankPages, AutoColor).
  TAcquiredPageFilter& pageFilter() { return pageFilter_; }
  // A copy of the image of the page at the position.
  TPageStoreError pageImage(unsigned position, TluBitmap& image);
  // Runs `edit` on the page's image in its viewer and keeps the result, the
  // thumbnail fitted to it; a failure is reported under DebugAlerts and
  // leaves the page as it was.
  TPageStoreError editPage(TPWImage& page, const std::function<void(TPWImage&)>& edit);
  unsigned currentPage() const { return pageCount() == 0 ? 0 : state_.currentPage; }
  std::wstring currentPageMICR() const;
  void showCurrentPage();
  // Called when an acquisition has ended, after the panel is enabled again.
  void acquisitionFinished();
  // The editing and output buttons work on pages: outside an upload they
  // are enabled exactly while at least one page is held.
  void enableEditingAndOutput(bool enabled);
  void setImageIndex(long index);
  void clearPages();
  void setThumbnails(long width, long height, long rows);
  // Lays out the strip; `method` names the member whose warnings these are.
  void layOutThumbnailStrip(std::wstring_view method = {});
  void refreshThumbnails();
  // Encodes the selected pages and posts them to UploadURL (form_upload.cpp).
  // The outcome is left in UploadStatus and UploadReturnString; an error
  // raised while encoding is passed on after the form is restored.
  void upload();
  FormEventSink& events() { return events_; }
  bool connectTimerRunning() const { return connectTimerRunning_; }

  // While DebugAlerts is on, a modal message box with the text of a
  // non-zero result or warning code of an element method (element_alerts.h).
  void alertElementResult(std::wstring_view method, int code, std::wstring_view element);
  // While DebugAlerts is on, a modal message box saying what the page store
  // failed to do and what became of the page (page_store_alerts.cpp).
  enum class PageStep { Keep, Show, Edit, Output };
  void alertPageStoreError(PageStep step, TPageStoreError error);
  // While DebugAlerts is on, a modal message box for each line.
  void alertLines(const std::vector<std::string>& lines);

  // The element methods (element_layout.cpp). Each takes an element name as
  // the page wrote it and answers a result code of element_alerts.h.
  int setElementLeft(std::wstring_view element, long left);
  int setElementTop(std::wstring_view element, long top);
  int setElementWidth(std::wstring_view element, long width);
  int setElementHeight(std::wstring_view element, long height);
  int setElementBorder(std::wstring_view element, long border);
  int setElementText(std::wstring_view element, std::wstring_view text, long index);
  int setElementContainer(std::wstring_view element, std::wstring_view container);
  int setElementColor(std::wstring_view element, OLE_COLOR color);
  int hideElement(std::wstring_view element);
  int showElement(std::wstring_view element);
  // The height the thumbnail strip gives its caption: the point size of the
  // form's font.
  int thumbnailCaptionHeight() const;

  // Window procedure entry for the form window.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Key preview for every component (see subclassing in the .cpp).
  bool previewKey(WPARAM& key);
  // Enter typed into a component; true when the component acts on it.
  bool handleEnter(HWND component);
  HBRUSH backgroundBrush() const { return background_.get(); }

 private:
  friend class TScanPanel;

  void createWindows();
  void createComponents();
  HWND createMainViewer(const ComponentDesign& design, HWND parent);
  void runCreationSequence();
  void setControlPanelDefaults();
  void createLists();
  void colourShapes();
  void stopConnectTimer();
  void storeTextTables();
  void clearUploadAndOutputState();
  void checkDefaultOptions();
  void fillUnitLists();
  void listDevices();
  void enableDuplexOption();
  void disableOutputControls();
  // The strip laid out (its warnings under the name of `method`), the form
  // fitted and the thumbnails refreshed.
  void layOutAndFit(std::wstring_view method = {});
  void placeSheets();
  void refillUnitLists();

  // Call points into the parts of the control built elsewhere: the element
  // layout, the scan settings panel, the page list and the main viewer
  // (form_call_points.cpp).
  void buildElementTable();
  void moveTab1Elements(int newTabCount);
  void createPageList();
  void freePageList();
  void freeSlotLabels();
  void setViewerModes();
  void setViewerMultiImage(bool multiImage);
  int deviceCount();
  void selectFirstDevice();
  bool deviceCanScanDuplex();
  void switchViewerDuplexOff();
  void updateSettingsControls();
  void retryDeviceConnection();
  void fitForm();
  void runCommand(const std::string& buttonName);
  void addAcquiredPage();
  bool encodeAndSend(const std::string& fileName);
  // Scan panel procedures that renaming a pixel type or a page size runs
  // again: filling cboPixelType from the device, and the device connect.
  void fillPixelTypeList();
  void connectDevice();

  // Element layout (element_layout.cpp, form_fitting.cpp).
  enum class Axis { Horizontal, Vertical };
  int reportElement(std::wstring_view method, int code, std::wstring_view element);
  int setElementPosition(std::wstring_view method, std::wstring_view element, long value, Axis axis);
  int setElementSize(std::wstring_view method, std::wstring_view element, long value, Axis axis);
  int applyPosition(std::size_t entry, long value, Axis axis);
  int applySize(std::size_t entry, long value, Axis axis);
  int applyMainAreaSize(std::size_t entry, long value, Axis axis);
  int applyBorder(std::size_t entry, long value);
  int applyText(std::size_t entry, std::wstring_view text, long index);
  int applyVisibility(std::size_t entry, bool visible);
  int containedCheck(std::size_t entry, long position, long extent, Axis axis) const;
  void moveIntoContainer(std::size_t entry, const std::string& container);
  void setSheetCaption(HWND sheet, std::wstring_view caption);
  bool showsBusyCursor(HWND over) const;

  // Page list helpers (page_list_form.cpp).
  bool runPageCommand(const std::string& buttonName);
  void onThumbnailClick(TPWImage& page);
  void navigatePages(Navigation button);
  void deleteCurrentPage();
  void movePage(bool up);
  void renumberPages();
  void applySingleImageMode();
  void fitThumbnail(TPWImage& page);
  void refitThumbnail(TPWImage& page);
  void showDebugAlert(const std::wstring& text);
  void warnStripLayout(std::wstring_view method, const StripLayout& layout);

  void onCommand(HWND control, WORD code);
  void onClick(const std::string& name);
  void onInterfaceClick();
  void onMultiImageClick();
  void onTabChange();
  void showSheet(int index);
  void onFontChanged();
  bool showFont(IFont* font);
  std::vector<HWND> tabOrder() const;
  void enable(std::string_view name, bool enabled);
  void show(std::string_view name, bool visible);

  FormEventSink& events_;
  bool devicesStarted_ = false;
  FormState state_;
  FrameworkProperties framework_;
  // Declared before the windows, so that it outlives the components using it.
  FontHandle fontHandle_;
  WindowHandle parking_;
  WindowHandle window_;
  std::map<std::string, HWND, std::less<>> components_;
  std::map<HWND, std::string> namesByWindow_;
  // After the windows: the viewer and the panel go before the form window.
  std::unique_ptr<TPWImage> mainViewer_;
  std::unique_ptr<TScanPanel> scanPanel_;
  ComPtr<IFont> font_;
  FontNotifications fontNotifications_{[this] { onFontChanged(); }};
  BrushHandle background_;
  ElementTable elements_;
  bool fitting_ = false;
  bool active_ = false;
  bool connectTimerRunning_ = false;
  // Declared after the windows, so that the pages and labels go before them.
  std::unique_ptr<TPWIList> pages_;
  // The pages' images; the viewers in pages_ hold their thumbnails only.
  std::unique_ptr<TPageImages> pageImages_;
  StripLayout strip_;
  // One label per thumbnail slot, made as pages first fill the slots.
  std::vector<WindowHandle> slotLabels_;
  // The last page of the acquisition under way, whose MICR text is read
  // only after its transfer.
  TPWImage* awaitingMICR_ = nullptr;
  // Why the last page of the acquisition under way could not be kept.
  TPageStoreError unkeptPageError_ = TPageStoreError::None;
  TAcquiredPageFilter pageFilter_;
};

}  // namespace pagewell
