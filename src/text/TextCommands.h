#pragma once
// The commands behind the text page: inserting a text layer, redrawing the
// selected one from the page, placing it by the position boxes and its
// shadow. The page gathers what it shows into a TTextPageState and calls
// these; they never touch a widget.
//
// Typing must not turn every keystroke into a history step of its own (the
// ring holds 24). Consecutive edits of the same text layer from the same
// continuous control -- typing in the text box, typing in the size box,
// dragging the glow slider -- with no other step between them become one
// step: the insert of the layer when the first keystroke created it (undo
// then removes the typed text at once), otherwise one ModifyText step whose
// before side is the layer as it was before the first of the edits.

#include <cstdint>
#include <string>

#include "document/CanvasEditor.h"
#include "text/TextRender.h"

// What the text page shows.
struct TTextPageState {
    std::string Text;     // the text box, lines separated by CR LF
    std::string FontName; // the font list's choice; "" when nothing is chosen
    std::string SizeText; // the size box as typed
    TColor Color = 0xFFFFFF;
    bool Bold = false, Italic = false, Underline = false;
    int LineAlign = 0; // alignment buttons: 0 left, 1 centre, 2 right
    int HorzAlign = 1; // horizontal position box: 0 left, 1 centre, 2 right, 3 custom
    int VertAlign = 1; // vertical position box: 0 top, 1 middle, 2 bottom, 3 custom
    bool Shadow = false;
    bool Halation = false;
    TColor HalationColor = 0xFFFFFF;
    int HalationSize = 10;
    bool Texture = false;
    std::string TextureFile; // the texture list's selected file, "" when none
    int AALevel = 4;         // the anti-alias box's index, -1 when nothing is chosen
};

// Which control an edit came from; edits from the same continuous control
// merge into one history step.
enum class TTextSource { Other, TextBox, SizeBox, GlowSlider };

// What the page does after a command: nothing more, or focus the box whose
// value was refused.
enum class TTextResult { Done, Unchanged, FocusSizeBox, FocusAALevel };

class TTextCommands {
public:
    explicit TTextCommands(TCanvasEditor& editor) : Editor(editor) {}
    TCanvasEditor& Editor;

    // A new selected text layer from the page, placed by the position boxes
    // (an InsertLayers step). A blank text does nothing.
    TTextResult RenderNewText(const TTextPageState& page, TTextSource source = TTextSource::Other);
    // The topmost selected text layer drawn again from the page and placed
    // anew (a ModifyText step); a blank text deletes it (a DeleteLayers
    // step). Nothing without a selected text layer.
    TTextResult RenderModifiedText(const TTextPageState& page, TTextSource source = TTextSource::Other);
    // A position box changed: the selected text layer moves against that
    // page edge (or stays, for "Custom") without being redrawn; a
    // PlaceLayers step.
    void PositionBoxChanged(bool horizontal, int index);
    // The shadow box was unchecked: every selected unlocked layer loses its
    // shadow, as one SetShadow step.
    void ShadowBoxUnchecked();
    // The shadow a text gets from the shadow box (offset 7, 7, opacity 100,
    // smoothness 2) for every selected unlocked layer, as one SetShadow step.
    void ApplyTextShadow();
    // The next edit opens a step of its own (another layer was picked).
    void EndTyping() { FSession = {}; }

    // The topmost selected text layer, or nullptr.
    TNewRotLayer* SelectedText() const { return Editor.TopmostSelectedLayer(itText); }

private:
    struct TSession {
        const TNewRotLayer* Layer = nullptr; // compared only, never used
        TTextSource Source = TTextSource::Other;
        const THistoryRecord* Record = nullptr;
        uint64_t Revision = 0;
        int Current = -1;
    };
    // The record of the step the edit merges into, or nullptr.
    THistoryRecord* MergeTarget(const TNewRotLayer& layer, TTextSource source);
    void Remember(const TNewRotLayer& layer, TTextSource source, const THistoryRecord& record);
    // The size box as a number; shows the message and returns false when it
    // is not a usable size.
    bool CheckSize(const TTextPageState& page, int& size, TTextResult& refusal) const;
    TSession FSession;
};

// The look the page asks for, at the given em size.
TTextLook LookOf(const TTextPageState& page, int size);
// Where a layer of the given size goes on the page for the position boxes
// (0 left/top, 1 centre, 2 right/bottom; "Custom" centres, as for a new
// layer).
TFloatRect PlaceOnPage(float width, float height, int horz, int vert, int pageWidth, int pageHeight);
