#include "ui/qt/qt_scratch_image.h"

#include <sys/mman.h>

namespace trx::ui::qt {

ScratchImage::ScratchImage(QSize device_size, QImage::Format format) {
  if (device_size.isEmpty()) return;
  const size_t line = static_cast<size_t>(device_size.width()) * 4;
  const size_t bytes = line * static_cast<size_t>(device_size.height());
  void* pixels = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pixels == MAP_FAILED) return;
  pixels_ = pixels;
  bytes_ = bytes;
  image_ = QImage(static_cast<uchar*>(pixels_), device_size.width(), device_size.height(),
                  static_cast<qsizetype>(line), format);
}

ScratchImage::~ScratchImage() {
  image_ = QImage();  // nothing may use the pixels once they are unmapped
  if (pixels_ != nullptr) ::munmap(pixels_, bytes_);
}

}  // namespace trx::ui::qt
