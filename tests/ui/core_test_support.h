#pragma once
// Test doubles for the interface library core: a recording renderer and notifier, a captured debug
// log and a temporary skin folder.

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "ui/core/control.h"
#include "ui/core/dialog_builder.h"
#include "ui/core/notify.h"
#include "ui/core/paint_manager.h"
#include "ui/core/renderer.h"

namespace trx::ui::test {

struct DrawCall {
  std::string op;        // "fill", "round", "border", "image", "text", "html", ...
  UiRect rc{};
  UiColor color = 0;
  std::string text;      // text, or image file
  TImageDesc image{};
  TImageTint tint{};
  double start = 0, sweep = 0;  // pies: degrees
  UiRect clip{-1000000, -1000000, 1000000, 1000000};  // the clip in force
  UiRect Visible() const { return rc.Intersect(clip); }
};

class RecordingRenderer : public IRenderer {
 public:
  std::vector<DrawCall> calls;
  std::vector<UiRect> clips;  // the clip stack, innermost last
  DrawCall Call(const char* op, const UiRect& rc, UiColor c, std::string text = {}) const {
    DrawCall d;
    if (!clips.empty()) d.clip = clips.back();
    d.op = op;
    d.rc = rc;
    d.color = c;
    d.text = std::move(text);
    return d;
  }
  int clipDepth = 0;

  void FillRect(const UiRect& rc, UiColor c) override { calls.push_back(Call("fill", rc, c)); }
  void FillRoundRect(const UiRect& rc, int, int, UiColor c) override { calls.push_back(Call("round", rc, c)); }
  void DrawBorder(const UiRect& rc, int, UiColor c, int, int) override { calls.push_back(Call("border", rc, c)); }
  void DrawLine(UiPoint a, UiPoint b, int, UiColor c) override { calls.push_back(Call("line", {a.x, a.y, b.x, b.y}, c)); }
  void FillGradient(const UiRect& rc, UiColor a, UiColor, bool) override { calls.push_back(Call("gradient", rc, a)); }
  void FillEllipse(const UiRect& rc, UiColor c) override { calls.push_back(Call("ellipse", rc, c)); }
  void FillPie(const UiRect& rc, double start, double sweep, UiColor c) override {
    DrawCall call = Call("pie", rc, c);
    call.start = start;
    call.sweep = sweep;
    calls.push_back(call);
  }
  bool DrawImage(const UiRect& dest, const TImageDesc& desc, const TImageTint& tint) override {
    DrawCall call = Call("image", dest, 0, desc.file);
    call.image = desc;
    call.tint = tint;
    calls.push_back(call);
    return true;
  }
  void DrawPixels(const UiRect& dest, int, int, const UiColor* px) override {
    calls.push_back(Call("pixels", dest, px != nullptr ? px[0] : 0));
  }
  void DrawText(const UiRect& rc, std::string_view text, UiColor c, const TFontInfo&, unsigned) override {
    calls.push_back(Call("text", rc, c, std::string(text)));
  }
  void DrawHtmlText(const UiRect& rc, std::string_view text, UiColor c, const TFontInfo&, unsigned) override {
    calls.push_back(Call("html", rc, c, std::string(text)));
  }
  UiSize MeasureText(std::string_view text, const TFontInfo& font, int) override {
    return {static_cast<int>(text.size()) * font.size / 2, font.size};
  }
  void PushClip(const UiRect& rc, int, int) override {
    clips.push_back(clips.empty() ? rc : clips.back().Intersect(rc));
    ++clipDepth;
  }
  void PopClip() override {
    if (!clips.empty()) clips.pop_back();
    --clipDepth;
  }
};

// The entries of `all` that start with `prefix`.
inline std::vector<std::string> StartingWith(const std::vector<std::string>& all, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& e : all)
    if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
  return out;
}

// Records "type:sender" for every notification, then hands it to `then` (a page's handler) if set.
class NotifyRecorder : public INotifyUI {
 public:
  std::vector<std::string> events;
  std::vector<TNotifyUI> records;
  std::function<void(TNotifyUI&)> then;
  void Notify(TNotifyUI& msg) override {
    events.push_back(msg.sType + ":" + (msg.pSender != nullptr ? msg.pSender->GetName() : std::string("-")));
    records.push_back(msg);
    if (then) then(msg);
  }
  // The events of one type, or (with a trailing '*') of every type starting with the prefix.
  std::vector<std::string> Of(const std::string& type) const {
    const bool prefix = !type.empty() && type.back() == '*';
    return StartingWith(events, prefix ? type.substr(0, type.size() - 1) : type + ":");
  }
  void Clear() {
    events.clear();
    records.clear();
  }
};

// Layout text of a window whose root, a vertical layout "root", holds `children`.
inline std::string Column(const std::string& children) {
  return R"(<Window><VerticalLayout name="root">)" + children + "</VerticalLayout></Window>";
}

// A manager with a tree built from layout text, laid out at `size`.
struct Ui {
  CPaintManagerUI pm;
  NotifyRecorder notes;
  CControlUI* root = nullptr;

  explicit Ui(const std::string& xml, UiSize size = {400, 300}, IDialogBuilderCallback* cb = nullptr) {
    pm.Init(nullptr, nullptr, "test");
    CDialogBuilder builder;
    root = builder.Create(xml, {}, cb, &pm);
    if (root != nullptr) pm.AttachDialog(root);
    pm.AddNotifier(&notes);
    pm.SetClientSize(size);
    notes.Clear();
  }
  template <typename T>
  T* Find(const std::string& name) { return dynamic_cast<T*>(pm.FindControl(name)); }
  UiPoint Center(const std::string& name) {
    const UiRect& rc = pm.FindControl(name)->GetPos();
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  RecordingRenderer Paint(const UiRect& dirty = {0, 0, 400, 300}) {
    RecordingRenderer r;
    pm.Paint(r, dirty);
    return r;
  }
  void Press(UiPoint pt) { pm.OnMouseMove(pt); pm.OnButtonDown(pt); }
  void Click(UiPoint pt) { Press(pt); pm.OnButtonUp(pt); }
  void Click(const std::string& name) { Click(Center(name)); }
  void Keys(std::initializer_list<std::uint32_t> keys) { for (std::uint32_t k : keys) pm.OnKeyDown(k); }
};

// Collects the debug lines written while it lives.
class ScopedDebugCapture {
 public:
  ScopedDebugCapture() : previous_(SetDebugSink([this](std::string_view line) { lines.emplace_back(line); })) {}
  ~ScopedDebugCapture() { SetDebugSink(previous_); }
  std::vector<std::string> lines;

 private:
  DebugSink previous_;
};

// A folder of layout and language files, the resource path while it lives.
class SkinDir {
 public:
  SkinDir() {
    dir_ = std::filesystem::temp_directory_path() /
           ("trx_ui_core_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::create_directories(dir_);
    CPaintManagerUI::SetResourcePath(dir_.string());
  }
  ~SkinDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    CPaintManagerUI::SetResourcePath("");
  }
  void Write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path dir_;
};

}  // namespace trx::ui::test
