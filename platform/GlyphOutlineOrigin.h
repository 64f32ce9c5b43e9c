#pragma once

class QFont;

namespace platform {

// Puts the glyph offset of the font file that font draws with back to zero, so that glyphs too large for
// Qt's glyph cache, which Qt fills as outlines, land exactly where their advances place them.
//
// Qt's FreeType engines share one face per font file. Each glyph drawn from the glyph cache leaves that
// face offset by its subpixel position (quarter-pixel steps), and outlines are loaded through the same face
// without clearing it: a large text's outlines moved by a fraction of a font unit, as whatever small text the
// program drew last (a button, a label, the view at a small zoom) had left it, and the same document gave
// pixels a few levels apart on glyph edges. Measuring one glyph with a new engine of one pixel per font unit
// loads it with no offset, which clears the face's offset without changing the size it is set to for
// outlines.
void ResetGlyphOutlineOrigin(const QFont& font);

} // namespace platform
