#include "settings/config_images.h"

namespace trx {

std::recursive_mutex& ImageMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

ConfigImages& Images() {
  static ConfigImages* images = new ConfigImages();  // lives for the whole run, never destroyed
  return *images;
}

void ResetImagesToBuiltIn() {
  std::lock_guard<std::recursive_mutex> guard(ImageMutex());
  Images() = ConfigImages();
}

}  // namespace trx
