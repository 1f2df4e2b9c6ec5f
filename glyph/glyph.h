// The glyph display: finding a symbol's picture, reading its Netpbm header,
// and printing it as scaled text art.
#pragma once

#include "glyph/open_glyph.h"
#include "glyph/render_glyph.h"
