#include "document/LayerOrder.h"

#include "document/CollageDocument.h"

void KeepBorderOnTop(TCollageDocument& doc) {
    if (!doc.BorderLayer) return;
    TLayerCollection& layers = doc.Layers();
    int pos = layers.IndexOf(doc.BorderLayer);
    if (pos < 0) return;
    for (int b = pos + 1; b < layers.Count() && doc.ContentLayerAt(b); ++b) {
        layers.Move(pos, b);
        pos = b;
    }
    for (int n = pos - 1; n >= 0 && !doc.ContentLayerAt(n); --n) {
        layers.Move(pos, n);
        pos = n;
    }
}
