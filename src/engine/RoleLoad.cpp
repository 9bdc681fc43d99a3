#include "engine/RoleLoad.h"

#include "engine/Codecs.h"

void LoadJPEGPicture(const std::string& path, TBitmap32& target) { DecodeJPEGFile(path, target); }
void LoadGIFPicture(const std::string& path, TBitmap32& target) { DecodeGIFFile(path, target); }
