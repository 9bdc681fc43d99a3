#include "history/UnRedo.h"

THistoryEntry& TUnReDo::PushStep() {
    const int next = (FCurrent + 1) % kSlots;
    FNewest = next;
    if (next == FOldest) FOldest = (FOldest + 1) % kSlots;
    ReleaseStep(FSlots[size_t(next)]);
    FCurrent = next;
    ++FRevision;
    // Only the newest step's pictures stay raw, for a quick undo; a quick
    // series of steps waits for the helper thread rather than piling up
    // raw pictures.
    std::vector<THistoryPicture> older;
    for (const THistoryEntry& slot : FSlots)
        for (const auto& r : slot.Records) r->HeldPictures(older);
    if (!older.empty()) {
        CompressHeldPictures(older);
        WaitForHeldPictures(2);
    }
    return FSlots[size_t(next)];
}

THistoryEntry* TUnReDo::StepBack() {
    if (FCurrent == FOldest) return nullptr;
    THistoryEntry* e = &FSlots[size_t(FCurrent)];
    FCurrent = FCurrent == 0 ? kSlots - 1 : FCurrent - 1;
    ++FRevision;
    return e;
}

THistoryEntry* TUnReDo::StepForward() {
    if (FCurrent == FNewest) return nullptr;
    FCurrent = (FCurrent + 1) % kSlots;
    ++FRevision;
    return &FSlots[size_t(FCurrent)];
}

void TUnReDo::ReleaseStep(THistoryEntry& entry) {
    entry.Records.clear();
    entry.Records.shrink_to_fit();
    entry.Kind = THistoryKind::None;
}

void TUnReDo::Clear() {
    for (auto& s : FSlots) ReleaseStep(s);
    FOldest = FNewest = FCurrent = 0;
    ++FRevision;
}
