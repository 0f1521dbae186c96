#pragma once
// QtUrlOpener: the desktop's URL handler for the program (url_opener.h).
// It parses the URL strictly and passes only https URLs to
// QDesktopServices::openUrl, which starts the desktop's handler directly
// (no shell in between). UI thread only.

#include "ui/dialogs/url_opener.h"

namespace trx::ui::qt {

class QtUrlOpener : public IUrlOpener {
 public:
  bool OpenUrl(std::string_view url) override;
};

}  // namespace trx::ui::qt
