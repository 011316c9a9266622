#pragma once
// Further controls in the script's page, as a page with a second <object>
// tag has them: each created and given a client site that names the same
// page, so a script can see what a control of its own already settled for
// the page (Host.NewControl()).
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "container/control_site.h"

namespace pagehost {

class MoreControls {
 public:
  MoreControls(HWND window, std::wstring pageUrl) : window_(window), pageUrl_(std::move(pageUrl)) {}
  // The page closes: every control leaves its site.
  ~MoreControls();
  MoreControls(const MoreControls&) = delete;
  MoreControls& operator=(const MoreControls&) = delete;

  // A new Pagewell.TwainForm placed in the page, or nothing when it cannot
  // be created.
  pagewell::ComPtr<IDispatch> add();

 private:
  struct Placed {
    std::unique_ptr<pagewell::container::ControlSite> site;
    pagewell::ComPtr<IOleObject> control;
  };
  HWND window_;
  std::wstring pageUrl_;
  std::vector<Placed> placed_;
};

}  // namespace pagehost
