#pragma once
// TUnReDo: the undo/redo ring. 25 slots, so at most 24 steps can be undone:
// the slot at `oldest` is the floor and is never undone itself.
//
// A step holds one record per touched layer, in the order the command
// touched them. Records identify their layer by its index in the canvas
// layer collection at the moment of recording. What a record holds depends
// on the step's kind (THistoryKind); applying records to the document is
// the business of HistoryApply.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "history/HeldPicture.h"

enum class THistoryKind : int {
    None = 0,
    InsertLayers = 1,
    PlaceLayers = 2,
    DeleteLayers = 3,
    RaiseLayers = 4,
    LowerLayers = 5,
    ReplacePicture = 6,
    SetMask = 7,
    SetSubFrame = 8,
    SetCrop = 9,
    FlipLayers = 10,
    SetShadow = 11,
    SetOpacity = 12,
    ModifyText = 13,
    SetBorder = 14,
    // The page size, orientation or background changed and every layer was
    // re-placed on the new page.
    PageSettings = 15,
};

struct THistoryRecord {
    virtual ~THistoryRecord() = default;
    // The held pictures of the record (appended to out).
    virtual void HeldPictures(std::vector<THistoryPicture>& out) const { (void)out; }
    int Position = -1;
};

struct THistoryEntry {
    THistoryKind Kind = THistoryKind::None;
    std::vector<std::unique_ptr<THistoryRecord>> Records;
};

class TUnReDo {
public:
    static constexpr int kSlots = 25;

    // Opens a new step: every step that could be redone is lost, and a full
    // ring drops its oldest step. The caller sets the kind. The held pictures
    // of the older steps go to be compressed.
    THistoryEntry& PushStep();
    // The step to undo, or nullptr when there is none.
    THistoryEntry* StepBack();
    // The step to redo, or nullptr when there is none.
    THistoryEntry* StepForward();
    static void ReleaseStep(THistoryEntry& entry);
    void Clear();

    // The step opened last (the one records are appended to).
    THistoryEntry& CurrentStep() { return FSlots[size_t(FCurrent)]; }
    bool CanUndo() const { return FCurrent != FOldest; }
    bool CanRedo() const { return FCurrent != FNewest; }
    int Oldest() const { return FOldest; }
    int Newest() const { return FNewest; }
    int Current() const { return FCurrent; }
    const THistoryEntry& Slot(int index) const { return FSlots[size_t(index)]; }
    // Changes with every step opened, undone, redone and with Clear: a
    // command that wants to extend the step it opened last (a run of
    // arrow-key nudges) checks that nothing happened in between.
    uint64_t Revision() const { return FRevision; }

    // Appends a record to the step opened last.
    template <class R> R& Add(int position) {
        auto r = std::make_unique<R>();
        r->Position = position;
        R& ref = *r;
        CurrentStep().Records.push_back(std::move(r));
        return ref;
    }

private:
    std::array<THistoryEntry, kSlots> FSlots;
    int FOldest = 0, FNewest = 0, FCurrent = 0;
    uint64_t FRevision = 0;
};
