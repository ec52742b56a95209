#pragma once

class QFileDialog;

namespace tessel {

// Adds a pane to a (non-native) file dialog that shows the selected picture scaled to fit,
// with its size in pixels, or "No preview" for files that are not pictures.
void AddPicturePreview(QFileDialog& dialog);

}  // namespace tessel
