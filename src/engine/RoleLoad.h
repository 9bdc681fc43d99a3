#pragma once
// Loading library pictures by their role rather than their extension: the
// ".msk" masks of the Masks folder are JPEG data, the ".msk" companions of
// frames are GIF data. Both throw EUserError on unreadable data.

#include <string>

#include "engine/Bitmap32.h"

void LoadJPEGPicture(const std::string& path, TBitmap32& target);
void LoadGIFPicture(const std::string& path, TBitmap32& target);
