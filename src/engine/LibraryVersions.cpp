#include "engine/LibraryVersions.h"

#include <cstdio>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#ifndef VELMORA_EXIF_VERSION
#define VELMORA_EXIF_VERSION "unknown"
#endif

std::vector<TLibraryVersion> CodecLibraryVersions() {
    std::vector<TLibraryVersion> v;
#ifdef LIBJPEG_TURBO_VERSION_NUMBER
    const int jpeg = LIBJPEG_TURBO_VERSION_NUMBER; // 2001005 is 2.1.5
    v.push_back({"libjpeg-turbo", std::to_string(jpeg / 1000000) + "." + std::to_string(jpeg / 1000 % 1000) +
                                      "." + std::to_string(jpeg % 1000)});
#else
    v.push_back({"libjpeg", std::to_string(JPEG_LIB_VERSION / 10) +
                                std::string(1, char('a' - 1 + JPEG_LIB_VERSION % 10))});
#endif
    v.push_back({"libpng", png_get_libpng_ver(nullptr)});
    v.push_back({"giflib", std::to_string(GIFLIB_MAJOR) + "." + std::to_string(GIFLIB_MINOR) + "." +
                               std::to_string(GIFLIB_RELEASE)});
    v.push_back({"zlib", zlibVersion()});
    v.push_back({"libexif", VELMORA_EXIF_VERSION});
    return v;
}
