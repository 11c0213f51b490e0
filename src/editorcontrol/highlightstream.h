#pragma once

#include "editorcontrol/highlighter.h"
#include "editorcontrol/textrenderer.h"
#include "editorcontrol/textsource.h"

// Colours a text source line by line into a renderer, carrying the scope state from line to line:
// no more than one line and its runs is held at a time.
namespace HighlightStream {

// False when reading failed (source.problem() says why) or the renderer's output did.
bool run(TextSource &source, Highlighter &highlighter, TextRenderer &renderer);

} // namespace HighlightStream
