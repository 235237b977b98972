// The editor's bitmaps for the stub window system: each id that
// resources/quavix.rc names, resolved through quavix/QuavixConfig.h, gets a
// picture of its file's size, so the panel is laid out as it ships. Only the
// sizes come from the files: the fuzz targets look at no pixel.
#pragma once

namespace quavixfuzz {

// Registers the pictures once per process; later calls do nothing.
void registerEditorPictures();

}  // namespace quavixfuzz
