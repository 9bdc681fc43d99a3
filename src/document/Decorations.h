#pragma once
// Masks, sub-frames and the border frame, made from the names the layers
// keep ("Circle\yuan13.msk", relative to the Masks or Frames folder). A name
// is looked up in the shipped library first, then in the user's own.

#include <memory>
#include <string>

#include "engine/Bitmap32.h"

class TCollageDocument;
class TNewRotLayer;

// LibraryFile("Masks/" + name), read as JPEG.
std::unique_ptr<TBitmap32> LoadMaskByName(const std::string& name);

struct TSubFramePictures {
    std::unique_ptr<TBitmap32> Frame; // PNG with its alpha, blend mode
    std::unique_ptr<TBitmap32> Mask;  // the companion ".msk" (GIF) or none
};
// LibraryFile("Frames/" + name) with its companion beside it.
TSubFramePictures LoadSubFrameByName(const std::string& name);

// Gives the layer the mask / sub-frame of that name and records the name.
void ApplyMaskByName(TNewRotLayer& layer, const std::string& name);
void ApplySubFrameByName(TNewRotLayer& layer, const std::string& name);

// Makes the document's border frame show the frame of that name (creating
// the border layer when there is none), covering the page and kept above the
// content. An empty name removes the border frame.
void SetBorderByName(TCollageDocument& doc, const std::string& name);

// The path of a frame's companion mask: the extension changed to ".msk".
std::string CompanionPath(const std::string& framePath);
// A library name made from a category and a file name: "Category\file".
std::string LibraryName(const std::string& category, const std::string& fileName);
