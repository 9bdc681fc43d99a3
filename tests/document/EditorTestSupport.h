#pragma once
// A headless collage with an editor wired like the main window wires it.

#include "document/CanvasEditor.h"
#include "common/TestSupport.h"

struct TEditorFixture {
    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TBitmap32 Buffer;

    TEditorFixture() {
        Doc.CollageSettings.BKType = 1;
        Doc.SetScrollBoxSize(1032, 776);
        Doc.ApplyCanvasSettings();
        Doc.SetZoom(100);
        // scrolled past the margin around the page: view = page coordinates
        Doc.ImageScreen.SetViewport(TCollageDocument::kPageMargin, TCollageDocument::kPageMargin, 1024, 768);
        TImage32& s = Doc.ImageScreen;
        s.OnMouseDown = [this](TMouseButton b, TShiftState sh, int x, int y, TCustomLayer* l) {
            Editor.ImageScreenMouseDown(b, sh, x, y, l);
        };
        s.OnMouseMove = [this](TShiftState sh, int x, int y, TCustomLayer*) { Editor.ImageScreenMouseMove(sh, x, y); };
        s.OnMouseUp = [this](TMouseButton b, TShiftState sh, int x, int y, TCustomLayer*) {
            Editor.ImageScreenMouseUp(b, sh, x, y);
        };
    }

    // A layer made the way the adding commands make one: a picture of the
    // given size and colour placed at the rectangle.
    TNewRotLayer* AddLayer(const TFloatRect& where, uint8_t type = itPhoto, int pw = 200, int ph = 100,
                           TColor32 color = 0xFF3366CC) {
        TUpdateScope<TImage32> update(Doc.ImageScreen);
        auto* l = Doc.Layers().Add<TNewRotLayer>();
        l->Picture.SetSize(pw, ph);
        l->Picture.Clear(color);
        l->Picture.DrawMode = TDrawMode::Blend;
        l->ImageType = type;
        l->SetLocation(where);
        l->SetPictureCenter({pw / 2.0f, ph / 2.0f});
        l->Picture.Resampler = TResamplerKind::Linear;
        l->SetScaled(true);
        l->AlphaHit = true;
        l->SetViewedRect({0, 0, pw, ph});
        l->RebuildScreenCache();
        return l;
    }

    void Paint() { Doc.ImageScreen.PaintTo(Buffer); }
    void Press(int x, int y, TShiftState s = 0) {
        Paint();
        Doc.ImageScreen.MouseDown(TMouseButton::Left, s | ssLeft, x, y);
    }
    void Move(int x, int y, TShiftState s = ssLeft) { Doc.ImageScreen.MouseMove(s, x, y); }
    void Release(int x, int y, TShiftState s = 0) { Doc.ImageScreen.MouseUp(TMouseButton::Left, s, x, y); }
    void Click(int x, int y, TShiftState s = 0) {
        Press(x, y, s);
        Release(x, y, s);
    }
    void Drag(int x0, int y0, int x1, int y1) {
        Press(x0, y0);
        Move((x0 + x1) / 2, (y0 + y1) / 2);
        Move(x1, y1);
        Release(x1, y1);
    }
};
