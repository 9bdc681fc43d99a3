#include "Library.h"
namespace resgen {





void AddUi(TCatalogue&) {}
}
