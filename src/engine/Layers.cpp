#include "engine/Layers.h"

#include <atomic>
#include <cassert>

namespace {
uint64_t NextLayerSerial() {
    static std::atomic<uint64_t> serial{0};
    return ++serial;
}
} // namespace

TCustomLayer::TCustomLayer(TLayerCollection* owner) : FOwner(owner), FSerial(NextLayerSerial()) {}

int TCustomLayer::Index() const {
    return FOwner ? FOwner->IndexOf(this) : -1;
}

void TCustomLayer::SetIndex(int index) {
    const int from = Index();
    if (from >= 0) FOwner->Move(from, index);
}

void TCustomLayer::MouseDown(TMouseButton, TShiftState, int, int) {}
void TCustomLayer::MouseMove(TShiftState, int, int) {}
void TCustomLayer::MouseUp(TMouseButton, TShiftState, int, int) {
    Cursor = TCursorKind::Default;
}
void TCustomLayer::DblClick() {}

void TCustomLayer::Changed() {
    if (FUpdateCount > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (FOwner) FOwner->Changed(this);
}

void TCustomLayer::EndUpdate() {
    assert(FUpdateCount > 0);
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        Changed();
    }
}

int TLayerCollection::IndexOfSerial(uint64_t serial) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Serial() == serial) return int(i);
    return -1;
}

int TLayerCollection::IndexOf(const TCustomLayer* layer) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == layer) return int(i);
    return -1;
}

void TLayerCollection::Insert(int index, std::unique_ptr<TCustomLayer> layer) {
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, std::move(layer));
    Changed();
}

void TLayerCollection::Move(int from, int to) {
    if (from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto layer = std::move(FItems[size_t(from)]);
    FItems.erase(FItems.begin() + from);
    FItems.insert(FItems.begin() + to, std::move(layer));
    Changed();
}

std::unique_ptr<TCustomLayer> TLayerCollection::Extract(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    auto layer = std::move(FItems[size_t(index)]);
    FItems.erase(FItems.begin() + index);
    if (MouseListener == layer.get()) MouseListener = nullptr;
    Changed();
    return layer;
}

void TLayerCollection::Delete(int index) {
    Extract(index).reset();
}

void TLayerCollection::Clear() {
    MouseListener = nullptr;
    // Destroy top first so that layers referring to lower ones go first.
    while (!FItems.empty()) FItems.pop_back();
    Changed();
}

void TLayerCollection::SetViewMapping(int64_t scaleX16, int64_t scaleY16, float shiftX, float shiftY) {
    if (scaleX16 == FScaleX16 && scaleY16 == FScaleY16 && shiftX == FShiftX && shiftY == FShiftY) return;
    FScaleX16 = scaleX16;
    FScaleY16 = scaleY16;
    FShiftX = shiftX;
    FShiftY = shiftY;
    Changed();
}

void TLayerCollection::EndUpdate() {
    assert(FUpdateCount > 0);
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        Notify();
    }
}

void TLayerCollection::Changed(const TCustomLayer* source) {
    if (!source || !source->IsOverlay()) ++FContentRevision;
    Notify();
}

void TLayerCollection::Notify() {
    if (FUpdateCount > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (OnChange) OnChange();
}

TCustomLayer* TLayerCollection::LayerAt(int x, int y) const {
    for (int i = Count() - 1; i >= 0; --i) {
        TCustomLayer* l = Items(i);
        if (l->ReceivesMouse() && l->DoHitTest(x, y)) return l;
    }
    return nullptr;
}
