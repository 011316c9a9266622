#pragma once
// FontNotifications: hears the changes a page makes to an OLE font object
// (Size, Bold, Name, ...) through the object's IPropertyNotifySink
// connection point, so that the form can apply them while the page goes on
// holding the object it read from `Font`.
#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "com/com_ptr.h"

namespace pagewell {

class FontNotifications {
 public:
  // `changed` runs on the caller's thread after each change of the font
  // listened to; it must not throw.
  explicit FontNotifications(std::function<void()> changed);
  ~FontNotifications();
  FontNotifications(const FontNotifications&) = delete;
  FontNotifications& operator=(const FontNotifications&) = delete;

  // Listens to `font` alone from now on. A font object without the
  // connection point is not listened to (and the previous one no longer).
  void listenTo(IFont* font);
  void stop();

 private:
  class Sink;
  ComPtr<Sink> sink_;
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

}  // namespace pagewell
