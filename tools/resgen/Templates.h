#pragma once
// The templates of the resource library: projects saved in template mode
// (their photos become empty placeholders) with a thumbnail beside each, in
// template/Free and template/Collage below the library root.

#include <string>

// Builds every template below outputRoot. Runs after the rest of the library
// is written: masks, frames, backgrounds and cliparts are referred to only
// when their files exist there. Throws std::runtime_error when a template
// cannot be written.
void WriteTemplates(const std::string& outputRoot);
