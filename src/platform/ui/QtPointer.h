#pragma once
// Qt's pointer events in the terms the layers and thumbnail cells use.

#include <Qt>

#include "engine/Layers.h"

// Modifier keys and held buttons of a Qt event.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The button of a press or release; false for buttons the program ignores.
bool MouseButtonOf(Qt::MouseButton button, TMouseButton& out);
