#include "ui/qt/qt_url_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace trx::ui::qt {

bool QtUrlOpener::OpenUrl(std::string_view url) {
  const QUrl parsed(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
  if (!parsed.isValid() || parsed.scheme() != QStringLiteral("https") || parsed.host().isEmpty()) return false;
  return QDesktopServices::openUrl(parsed);
}

}  // namespace trx::ui::qt
