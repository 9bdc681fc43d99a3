#include "Library.h"
namespace resgen {

void AddCliparts(TCatalogue&) {}


void AddPhotos(TCatalogue&) {}
void AddUi(TCatalogue&) {}
}
