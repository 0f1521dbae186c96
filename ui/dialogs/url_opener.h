#pragma once
// Opening a web page through the desktop's URL handler. The program never
// builds a shell command for it: the Qt backend installs an opener that
// hands the URL to QDesktopServices (ui/qt/qt_url_opener.h); tests install
// a recording one. Without an opener nothing is opened (debug line).
//
// Only https URLs are ever passed on: OpenHttpsUrl refuses anything else
// before the opener sees it.
// UI thread only.

#include <string_view>

namespace trx::ui {

class IUrlOpener {
 public:
  virtual ~IUrlOpener() = default;
  // Hands the URL to the desktop; false when it could not be opened.
  virtual bool OpenUrl(std::string_view url) = 0;
};

// Installs the process-wide opener (null: none). It must outlive its
// installation.
void SetUrlOpener(IUrlOpener* opener);
IUrlOpener* GetUrlOpener();

// True for "https://" followed by a host and no spaces, quotes or control
// characters.
bool IsPlainHttpsUrl(std::string_view url);
// Passes an https URL to the installed opener; false (nothing opened) for
// any other URL, without an opener, or when the opener fails.
bool OpenHttpsUrl(std::string_view url);

}  // namespace trx::ui
