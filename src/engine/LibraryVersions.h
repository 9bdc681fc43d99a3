#pragma once
// Versions of the picture libraries the engine is built on, for the About box.

#include <string>
#include <vector>

struct TLibraryVersion {
    std::string Name;
    std::string Version;
};

// libjpeg-turbo, libpng, giflib, zlib and libexif; run-time versions where the
// library reports one, else the version of the headers it was built with.
std::vector<TLibraryVersion> CodecLibraryVersions();
