#pragma once
// Shrinking the banner's 24-bit pixels by area averaging, and choosing the
// result size from a target size and fit mode. Portable.
#include <stdint.h>

#include "banner/scale_job.h"

// Sets job->result.width or job->result.height from the fit mode (the other
// side keeps the target's), with rx = source width / target width and
// ry = source height / target height as 32-bit floats and the computed side
// trunc(side / ratio + 0.5) (at most 65535). FitExact changes nothing.
// False, with a result size of 0 x 0, when a ratio the mode needs has a
// target side of 0.
bool ComputeFitSize(ScaleJob* job);

// Fills the job's result: size from the target and fit mode, stride, a new
// pixel block and its pixels (ResampleArea). A result larger than the source
// in either direction is not enlarged: the result is then a copy of the
// source at its own size. False, with the result pixels null, when there is
// no source, a result side is 0, or an allocation fails.
bool PrepareScaleJob(ScaleJob* job);

// Writes the job's result pixels (block and stride already set) as the
// area-weighted mean of the source pixels, for a result of width x height
// with 1 <= width <= source width and 1 <= height <= source height, in one
// pass over the source with 32-bit float accumulators. Channels are rounded
// and limited to 0..255; padding bytes are left as they are. False, writing
// nothing, when the sizes are outside that range, a block is missing or the
// accumulator cannot be allocated.
bool ResampleArea(ScaleJob* job, uint16_t width, uint16_t height);

// The pixels the banner shows at `targetWidth`: the source itself for 0,
// else the result of PrepareScaleJob with FitWidth (target height 0). Null
// when there are no such pixels.
const PixelBuffer* ScaleToWidth(ScaleJob* job, uint16_t targetWidth);

// Releases both pixel blocks of the job and sets them null.
void FreeScaleJob(ScaleJob* job);
