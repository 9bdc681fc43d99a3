#pragma once
// The commands that give layers masks and sub-frames, set the border frame
// and take them away again. Names are "Category\file" in the library.

#include <string>

class TCanvasEditor;
class TNewRotLayer;

// Double-click on a mask / sub-frame thumbnail: every selected layer.
void ApplyMaskToSelection(TCanvasEditor& ed, const std::string& category, const std::string& fileName);
void ApplySubFrameToSelection(TCanvasEditor& ed, const std::string& category, const std::string& fileName);
// A thumbnail dropped on the canvas: the drop-target layer, when there is one.
void ApplyMaskToDropTarget(TCanvasEditor& ed, const std::string& category, const std::string& fileName);
void ApplySubFrameToDropTarget(TCanvasEditor& ed, const std::string& category, const std::string& fileName);
// Double-click or drop of a border frame thumbnail.
void SetBorderFrame(TCanvasEditor& ed, const std::string& category, const std::string& fileName);

void MenuDelMaskClick(TCanvasEditor& ed);
void SpeedButtonDelSubFrameClick(TCanvasEditor& ed);
void BitBtnDelFrameClick(TCanvasEditor& ed);
