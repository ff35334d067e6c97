// The data area: the compressed file contents behind BLOCK_END, read in table order.
#pragma once

#include "codec/decoder.h"

// The decoder's refill for the data area: ReadInputChunk, and a bounded source also counts
// the bytes it got off the volume's DataRemaining. Handed to DecodeToFile for every file.
void RefillInput(DecoderInput& input);
