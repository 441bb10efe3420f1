// Draws one checked drawing record onto the framebuffer.
#pragma once

#include <span>

#include "videodecode/framebuffer.h"
#include "videodecode/pixel_colours.h"
#include "videodecode/record_ops.h"

namespace videodecode {

// source holds the record's pixel rows (op.height rows of op.rowBytes bytes) when the raster
// operation uses them; colours maps its pixel values. The rectangle was checked against the
// framebuffer; even so, nothing outside the framebuffer or the source is ever touched.
void paintDrawOp(Framebuffer& framebuffer, const DrawOp& op, std::span<const std::uint8_t> source,
                 const ColourTable& colours);

}  // namespace videodecode
