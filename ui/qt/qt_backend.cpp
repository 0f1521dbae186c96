#include "ui/qt/qt_backend.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QScreen>

#include "ui/qt/qt_tray_icon.h"
#include "ui/qt/qt_window.h"

namespace trx::ui::qt {

QtBackend::QtBackend() {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, &context_, [this] { Pump(); });
}

QtBackend::~QtBackend() { Uninstall(); }

void QtBackend::Install() {
  if (installed_) return;
  installed_ = true;
  // Windows hide behind the tray; the loop ends only on the quit message.
  QApplication::setQuitOnLastWindowClosed(false);
  SetWindowBackend(this);
  CMessageQueue::Instance().SetDriver(this);
  Wake();
}

void QtBackend::Uninstall() {
  if (!installed_) return;
  installed_ = false;
  CMessageQueue::Instance().SetDriver(nullptr);
  SetWindowBackend(nullptr);
  timer_.stop();
}

std::unique_ptr<INativeWindow> QtBackend::CreateNativeWindow(CWindowWnd* window) {
  return std::make_unique<QtNativeWindow>(window);
}

UiRect QtBackend::WorkArea() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {0, 0, 1920, 1040};
  const QRect r = screen->availableGeometry();
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

UiPoint QtBackend::CursorPos() {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

std::unique_ptr<INativeTrayIcon> QtBackend::CreateTrayIcon(std::function<void(UINT)> on_mouse,
                                                           std::string_view icon_path, std::string_view tooltip) {
  return QtTrayIcon::Create(std::move(on_mouse), icon_path, tooltip);
}

namespace {

// The widget of a library window, for parenting a native dialog (null:
// none, the dialog is centred on the screen).
QWidget* OwnerWidget(HWND owner) {
  CWindowWnd* window = owner != nullptr ? CWindowWnd::FromHandle(owner) : nullptr;
  auto* native = window != nullptr ? dynamic_cast<QtNativeWindow*>(window->Native()) : nullptr;
  return native != nullptr ? native->Widget() : nullptr;
}

}  // namespace

bool QtBackend::RunFileDialog(const FileDialogRequest& request, std::string* path) {
  QStringList filters;
  for (const auto& [description, patterns] : request.filters) {
    QString p = QString::fromStdString(patterns);
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << (description.empty() ? p : QStringLiteral("%1 (%2)").arg(QString::fromStdString(description), p));
  }
  UseLanguage(request.language);
  QFileDialog dialog(OwnerWidget(request.owner));
  dialog.setWindowTitle(QString::fromStdString(request.title));
  if (!request.initial_folder.empty()) dialog.setDirectory(QString::fromStdString(request.initial_folder));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (!request.default_extension.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
  if (!request.initial_name.empty() && request.initial_name.find('*') == std::string::npos)
    dialog.selectFile(QString::fromStdString(request.initial_name));
  if (!request.overwrite_prompt) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  // Qt's own dialog (where the desktop offers none) opens too small to show
  // the files: a working size, within the screen (centred on the owner).
  QSize size = dialog.sizeHint().expandedTo(QSize(720, 460));
  if (QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size());
  dialog.resize(size);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  if (path) *path = dialog.selectedFiles().front().toStdString();
  return true;
}

void QtBackend::UseLanguage(const std::string& language) {
  if (language == translator_language_) return;
  translator_language_ = language;
  if (translator_) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
  }
  // "cn_zh" is the Chinese interface; English needs no translation.
  if (language.rfind("cn", 0) != 0 && language.rfind("zh", 0) != 0) return;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
}

void QtBackend::Wake() {
  if (wake_pending_.exchange(true)) return;
  QMetaObject::invokeMethod(&context_, [this] { Pump(); }, Qt::QueuedConnection);
}

void QtBackend::Pump() {
  wake_pending_ = false;
  CMessageQueue& queue = CMessageQueue::Instance();
  queue.ProcessPending();
  const std::int64_t next = queue.MillisToNextTimer();
  if (next < 0) timer_.stop();
  else timer_.start(static_cast<int>(std::min<std::int64_t>(next, 1 << 30)));
  // Let every loop whose condition now holds return.
  for (const Level& level : levels_) {
    if (!(*level.done)()) continue;
    if (level.loop) level.loop->quit();
    else QCoreApplication::exit(0);
  }
}

void QtBackend::RunUntil(const std::function<bool()>& done) {
  Pump();
  if (done()) return;
  if (levels_.empty()) {
    levels_.push_back({nullptr, &done});
    while (!done()) {
      QApplication::exec();
      // Qt ended its loop by itself (e.g. the session ends): treat as quit.
      if (!done()) CMessageQueue::Instance().PostQuit(0);
    }
    levels_.pop_back();
    return;
  }
  QEventLoop loop;
  levels_.push_back({&loop, &done});
  while (!done()) loop.exec();
  levels_.pop_back();
}

}  // namespace trx::ui::qt
