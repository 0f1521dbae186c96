#pragma once
// ScratchImage: a large image for one use whose pixels are mapped from the
// system for it and given back when it goes. Memory from the allocator
// would stay with the process after it is freed (the allocator keeps what
// it had once), so a window painting its whole area once in a while would
// hold the largest such buffer for good.
//
// Any thread; one owner. The image is valid while the ScratchImage lives.

#include <QImage>
#include <QSize>

#include <cstddef>

namespace trx::ui::qt {

class ScratchImage {
 public:
  // A device_size image of `format` (32 bits a pixel); a null image when the
  // pixels cannot be mapped.
  ScratchImage(QSize device_size, QImage::Format format);
  ~ScratchImage();
  ScratchImage(const ScratchImage&) = delete;
  ScratchImage& operator=(const ScratchImage&) = delete;

  QImage& Image() { return image_; }

 private:
  void* pixels_ = nullptr;
  size_t bytes_ = 0;
  QImage image_;  // over pixels_; goes before them
};

}  // namespace trx::ui::qt
