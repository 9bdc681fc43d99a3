#pragma once
#include <QCursor>

#include "engine/Layers.h"

// The real cursor for a canvas cursor kind; the rotation cursor (number
// 101) is made once from the resource library's picture.
QCursor CursorFor(TCursorKind kind);
// Loads the rotation cursor picture; called at start-up.
void RegisterRotateCursor(const QString& pictureFile);
