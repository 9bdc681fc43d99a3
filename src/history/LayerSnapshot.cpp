#include "history/LayerSnapshot.h"

namespace {
std::unique_ptr<TBitmap32> CopyOf(const TBitmap32* b) {
    if (!b) return nullptr;
    auto c = std::make_unique<TBitmap32>();
    c->Assign(*b);
    return c;
}
} // namespace

TLayerSnapshot CaptureLayer(const TNewRotLayer& layer, TSnapshotUse use) {
    TLayerSnapshot s;
    s.Location = layer.Location;
    s.Scaled = layer.Scaled;
    if (!layer.Picture.Empty()) s.Picture = CopyOf(&layer.Picture);
    s.SubFramePicture = CopyOf(layer.SubFramePicture.get());
    s.SubFrameMask = CopyOf(layer.SubFrameMask.get());
    s.SubFrameName = layer.SubFrameName;
    s.MaskPicture = CopyOf(layer.MaskPicture.get());
    s.MaskName = layer.MaskName;
    s.ShadowOn = layer.ShadowOn;
    s.ShadowOffsetX = layer.ShadowOffsetX;
    s.ShadowOffsetY = layer.ShadowOffsetY;
    s.ShadowTransparent = layer.ShadowTransparent;
    s.ShadowSmooth = layer.ShadowSmooth;
    s.ShadowColor = layer.ShadowColor;
    s.ViewedRect = layer.ViewedRect;
    s.ImageType = layer.ImageType;
    s.Text = layer.Text;
    s.PlaceholderLine1 = layer.PlaceholderLine1;
    s.PlaceholderLine2 = layer.PlaceholderLine2;
    s.SourceFile = layer.SourceFile;
    s.PictureEdited = layer.PictureEdited;
    s.Angle = layer.Angle;
    if (layer.Font) s.Font = std::make_unique<TLayerFont>(*layer.Font);
    if (layer.Font || use == TSnapshotUse::Clipboard) s.AALevel = layer.AALevel;
    if (layer.TextStyle) s.TextStyle = std::make_unique<TTextStyle>(*layer.TextStyle);
    if (use == TSnapshotUse::Clipboard) s.Locked = layer.Locked;
    if (layer.ImageType == itText) s.TextFlipH = layer.FlipH, s.TextFlipV = layer.FlipV;
    return s;
}

void RestoreLayer(TNewRotLayer& layer, const TLayerSnapshot& s, TSnapshotUse use) {
    if (s.Picture) {
        layer.Picture.Assign(*s.Picture);
        layer.Picture.DrawMode = TDrawMode::Blend;
        layer.SetPictureCenter({float(layer.Picture.Width()) / 2, float(layer.Picture.Height()) / 2});
        layer.Picture.Resampler = TResamplerKind::Linear;
        layer.AlphaHit = true;
    } else {
        layer.Picture.SetSize(0, 0);
    }
    layer.SetLocation(s.Location);
    layer.SetScaled(s.Scaled);
    layer.SubFrameName = s.SubFrameName;
    layer.MaskName = s.MaskName;
    layer.SetShadowOffsetX(s.ShadowOffsetX);
    layer.SetShadowOffsetY(s.ShadowOffsetY);
    layer.SetShadowTransparent(s.ShadowTransparent);
    layer.SetShadowSmooth(s.ShadowSmooth);
    layer.SetShadowColor(s.ShadowColor);
    layer.SetShadowEnabled(s.ShadowOn);
    layer.SetViewedRect(s.ViewedRect);
    layer.ImageType = s.ImageType;
    layer.Text = s.Text;
    layer.PlaceholderLine1 = s.PlaceholderLine1;
    layer.PlaceholderLine2 = s.PlaceholderLine2;
    layer.SourceFile = s.SourceFile;
    layer.PictureEdited = s.PictureEdited;
    layer.SetAngle(s.Angle);
    if (use == TSnapshotUse::Clipboard) {
        layer.AALevel = s.AALevel;
        layer.Locked = s.Locked;
        layer.SetFont(s.Font ? std::make_unique<TLayerFont>(*s.Font) : nullptr);
    } else if (s.Font) {
        layer.SetFont(std::make_unique<TLayerFont>(*s.Font));
        layer.AALevel = s.AALevel;
    }
    if (s.SubFramePicture) layer.AssignSubFrame(s.SubFramePicture.get(), s.SubFrameMask.get());
    if (s.MaskPicture) layer.AssignMask(s.MaskPicture.get());
    if (s.ImageType == itText)
        layer.FlipH = s.TextFlipH, layer.FlipV = s.TextFlipV; // the picture is mirrored already
    if (s.TextStyle)
        layer.TextStyle = std::make_unique<TTextStyle>(*s.TextStyle);
    else
        layer.TextStyle.reset();
}
