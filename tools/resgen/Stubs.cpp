#include "Library.h"
namespace resgen {




void AddPhotos(TCatalogue&) {}
void AddUi(TCatalogue&) {}
}
