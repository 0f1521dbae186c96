#include "ui/dialogs/url_opener.h"

#include "platform/debug_log.h"

namespace trx::ui {
namespace {

IUrlOpener* g_opener = nullptr;
constexpr std::string_view kHttpsPrefix = "https://";

}  // namespace

void SetUrlOpener(IUrlOpener* opener) { g_opener = opener; }
IUrlOpener* GetUrlOpener() { return g_opener; }

bool IsPlainHttpsUrl(std::string_view url) {
  if (url.substr(0, kHttpsPrefix.size()) != kHttpsPrefix) return false;
  const std::string_view rest = url.substr(kHttpsPrefix.size());
  if (rest.empty() || rest.front() == '/') return false;
  for (const char ch : rest) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F || c == '"' || c == '\'' || c == '`' || c == '\\' || c == '<' || c == '>') return false;
  }
  return true;
}

bool OpenHttpsUrl(std::string_view url) {
  if (!IsPlainHttpsUrl(url)) {
    DebugLine("web page not opened: not a plain https URL");
    return false;
  }
  if (g_opener == nullptr) {
    DebugLine("web page not opened: no URL handler");
    return false;
  }
  return g_opener->OpenUrl(url);
}

}  // namespace trx::ui
