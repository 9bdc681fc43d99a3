#include "Library.h"
namespace resgen {
void AddFrames(TCatalogue&) {}
void AddCliparts(TCatalogue&) {}

void AddBackgrounds(TCatalogue&) {}
void AddPhotos(TCatalogue&) {}
void AddUi(TCatalogue&) {}
}
