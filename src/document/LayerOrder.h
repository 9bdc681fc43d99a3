#pragma once
// Stacking helpers shared by the commands that add, move and restore layers.

class TCollageDocument;

// Keeps the border frame above every content layer and below every
// selection-handles layer: it first rises past the content layers directly
// above it, then sinks below the handles layers directly beneath it.
void KeepBorderOnTop(TCollageDocument& doc);
