#pragma once
// Image descriptions as written in layouts:
//   "ms/key_left_normal.png"                         (file only)
//   "file='ms/a.png' source='0,0,10,10' corner='2,2,2,2' dest='0,0,20,20'
//    mask='#FFFF00FF' fade='200' xtiled='true' ytiled='false' hole='false'"
// parsed into a record that the renderer draws. Pure functions.

#include <string>
#include <string_view>

#include "ui/core/ui_types.h"

namespace trx::ui {

struct TImageDesc {
  std::string file;          // as written, relative to the resource path
  std::string path;          // resolved file system path (filled before drawing)
  UiRect source{};           // part of the image to use; empty = whole image
  UiRect dest{};             // relative to the control; empty = whole control
  bool hasDest = false;
  UiRect corner{};           // nine-patch corners kept unscaled
  UiColor mask = 0;          // colour made transparent; 0 = none
  bool hasMask = false;
  int fade = 255;            // 0..255 overall opacity
  bool hole = false;         // nine-patch: leave the centre out
  bool xtiled = false;
  bool ytiled = false;
};

// Colour laid over the opaque pixels of an image with the given alpha
// (the tint operations of CControlUI).
struct TImageTint {
  bool enabled = false;
  UiColor color = 0;
  int alpha = 255;  // 0..255
};

// Parses a description; returns false when no file is named (an empty or
// "file=''" description draws nothing).
bool ParseImageDesc(std::string_view text, TImageDesc* out);

}  // namespace trx::ui
