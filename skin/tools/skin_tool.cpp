// trx770-skin-tool: two jobs for people working on the skin package.
//
//   trx770-skin-tool render <svg-folder> <skin-folder> [scale]
//       Renders every *.svg below svg-folder to a PNG at the same relative
//       path below skin-folder, `scale` pixels per SVG unit (default 2, so
//       the images stay sharp on 2x screens and are drawn at half their
//       pixel size by the layouts).
//
//   trx770-skin-tool shot --skin <folder> --out <file.png> [options]
//       Builds a layout of the skin with the interface library (the main
//       layout with its page layouts by default) and paints it into a PNG
//       through the Qt renderer, without a window or a display.
//       --layout <file|key>    layout to build (default XML_MAIN)
//       --lang en|cn           language file to load (default cn)
//       --scale <n>            device pixel ratio of the picture (default 1)
//       --size <w>,<h>         picture size (default: the layout's size)
//       --page <tab>=<index>   select a page of a tab layout
//       --select <option>      select an option without notification
//       --show <name>, --hide <name>, --disable <name>
//       --text <name>=<text>   set a control's text
//       --tint <name>=<#AARRGGBB>  tint a control's images fully (key lights)
//       --tint-all <prefix>=<#AARRGGBB>  tint every control named prefix + number
//       --rects <file>         also write "name left top right bottom" of every
//                              named visible control (client pixels; the
//                              screenshot walk clicks with them)
//   Run it with QT_QPA_PLATFORM=offscreen when no display is available.
//
// Exit codes: 0 success, 1 bad arguments, 2 a file could not be read or built,
// 3 the picture could not be written, 4 a named control does not exist.

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/circle_progress.h"
#include "ui/core/container.h"
#include "ui/core/control.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/option.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/core/ui_types.h"
#include "ui/qt/qt_window.h"

namespace {

using trx::ui::CControlUI;
using trx::ui::CDialogBuilder;
using trx::ui::CPaintManagerUI;
using trx::ui::CResourceManager;

// Element classes of the main layout that stand for page layout files.
struct SubLayout {
  const char* element;
  const char* file;
};
constexpr SubLayout kSubLayouts[] = {
    {"kb_Key_UI", "keyboard_key.xml"},   {"kb_Deng_UI", "keyboard_deng.xml"}, {"kb_Macro_UI", "keyboard_macro.xml"},
    {"MS_Deng_UI", "Mouse_deng.xml"},    {"MS_Macro_UI", "Mouse_macro.xml"},  {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"}, {"MS_DPI_UI", "Mouse_DPI.xml"},      {"MS_CURSOR_UI", "Mouse_cursor.xml"},
};

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Builds the page layouts into the same manager, as the main window does.
class PageBuilder : public trx::ui::IDialogBuilderCallback {
 public:
  explicit PageBuilder(CPaintManagerUI* pm) : pm_(pm) {}
  CControlUI* CreateControl(std::string_view cls) override {
    if (SameNoCase(cls, "CircleProgress")) return new trx::ui::CCircleProgressUI();
    for (const SubLayout& s : kSubLayouts) {
      if (!SameNoCase(cls, s.element)) continue;
      CDialogBuilder builder;
      CControlUI* root = builder.Create(s.file, {}, nullptr, pm_, nullptr);
      if (root == nullptr) std::fprintf(stderr, "page layout %s failed to build\n", s.file);
      return root;
    }
    return nullptr;
  }

 private:
  CPaintManagerUI* pm_;
};

int Render(const QString& from, const QString& to, double scale) {
  int count = 0;
  QDirIterator it(from, {"*.svg"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QSvgRenderer svg(path);
    if (!svg.isValid()) {
      std::fprintf(stderr, "not a valid SVG: %s\n", qPrintable(path));
      return 2;
    }
    const QSize size = (QSizeF(svg.defaultSize()) * scale).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      svg.render(&painter);
    }
    QString rel = QDir(from).relativeFilePath(path);
    rel.chop(4);
    const QString out = to + "/" + rel + ".png";
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (!image.save(out)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
      return 3;
    }
    ++count;
  }
  std::printf("%d images rendered\n", count);
  return 0;
}

bool SplitPair(const std::string& arg, std::string* key, std::string* value) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos) return false;
  *key = arg.substr(0, eq);
  *value = arg.substr(eq + 1);
  return true;
}

trx::ui::UiColor ParseArgb(const std::string& text) {
  std::string hex = text;
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  return static_cast<trx::ui::UiColor>(std::strtoul(hex.c_str(), nullptr, 16));
}

void Tint(CControlUI* c, trx::ui::UiColor color) {
  c->SetIsChangerColor(true);
  c->SetChangerColor(color);
  c->SetChangerAlpha(static_cast<int>(color >> 24));
}

int Shot(int argc, char** argv) {
  std::string skin, out, layout = "XML_MAIN", lang = "cn", rects;
  double scale = 1.0;
  int width = 0, height = 0;
  std::vector<std::pair<std::string, std::string>> actions;
  for (int i = 2; i < argc; ++i) {
    const std::string opt = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s needs a value\n", opt.c_str());
      return 1;
    }
    const std::string val = argv[++i];
    if (opt == "--skin") skin = val;
    else if (opt == "--out") out = val;
    else if (opt == "--layout") layout = val;
    else if (opt == "--lang") lang = val;
    else if (opt == "--scale") scale = std::atof(val.c_str());
    else if (opt == "--size") std::sscanf(val.c_str(), "%d,%d", &width, &height);
    else if (opt == "--rects") rects = val;
    else actions.emplace_back(opt, val);
  }
  if (skin.empty() || out.empty() || scale <= 0) {
    std::fprintf(stderr, "shot needs --skin and --out\n");
    return 1;
  }
  CPaintManagerUI::SetResourcePath(skin + "/");
  CResourceManager* res = CResourceManager::GetInstance();
  if (!res->LoadResource("res.xml")) return 2;
  res->SetLanguage(lang == "en" ? "en" : "cn_zh");
  if (!res->LoadLanguage(lang == "en" ? "lan_en.xml" : "lan_cn.xml")) return 2;

  CPaintManagerUI pm;
  pm.Init(nullptr);
  PageBuilder pages(&pm);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(layout, {}, &pages, &pm, nullptr);
  if (root == nullptr || !pm.AttachDialog(root)) {
    std::fprintf(stderr, "%s: %s\n", layout.c_str(), builder.GetLastErrorMessage().c_str());
    return 2;
  }
  for (const auto& [opt, val] : actions) {
    std::string key, value;
    const bool pair = SplitPair(val, &key, &value);
    const std::string& name = pair ? key : val;
    if (opt == "--tint-all") {
      for (int n = 0; n < 256; ++n)
        if (CControlUI* c = pm.FindControl(name + std::to_string(n))) Tint(c, ParseArgb(value));
      continue;
    }
    CControlUI* c = pm.FindControl(name);
    if (c == nullptr) {
      std::fprintf(stderr, "no control named %s\n", name.c_str());
      return 4;
    }
    if (opt == "--page" && pair) {
      if (auto* tab = static_cast<trx::ui::CTabLayoutUI*>(c->GetInterface("TabLayout")))
        tab->SelectItem(std::atoi(value.c_str()));
    } else if (opt == "--select") {
      if (auto* o = static_cast<trx::ui::COptionUI*>(c->GetInterface("Option"))) o->Selected(true, false);
    } else if (opt == "--show") {
      c->SetVisible(true);
    } else if (opt == "--hide") {
      c->SetVisible(false);
    } else if (opt == "--disable") {
      c->SetEnabled(false);
    } else if (opt == "--text" && pair) {
      c->SetText(value);
    } else if (opt == "--tint" && pair) {
      Tint(c, ParseArgb(value));
    } else {
      std::fprintf(stderr, "unknown option %s\n", opt.c_str());
      return 1;
    }
  }
  const trx::ui::UiSize init = pm.GetInitSize();
  const QSize size(width > 0 ? width : init.cx, height > 0 ? height : init.cy);
  const QImage image = trx::ui::qt::QtWindow::RenderTree(&pm, size, scale);
  if (!image.save(QString::fromStdString(out))) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 3;
  }
  if (!rects.empty()) {
    std::FILE* f = std::fopen(rects.c_str(), "w");
    if (f == nullptr) return 3;
    for (CControlUI* c : pm.FindControls([](CControlUI* c) { return !c->GetName().empty() && c->IsVisible(); })) {
      const trx::ui::UiRect r = c->GetPos();
      std::fprintf(f, "%s %d %d %d %d\n", c->GetName().c_str(), r.left, r.top, r.right, r.bottom);
    }
    std::fclose(f);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc >= 4 && std::string_view(argv[1]) == "render")
    return Render(argv[2], argv[3], argc >= 5 ? std::atof(argv[4]) : 2.0);
  if (argc >= 2 && std::string_view(argv[1]) == "shot") return Shot(argc, argv);
  std::fprintf(stderr,
               "usage: trx770-skin-tool render <svg-folder> <skin-folder> [scale]\n"
               "       trx770-skin-tool shot --skin <folder> --out <file.png> [options]\n");
  return 1;
}
