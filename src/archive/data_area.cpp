// The data area's input for the decoder: bounded by each stream's packed size, and counted
// against the data that the volume being read still holds.
#include "archive/data_area.h"

#include "archive/setup_archive.h"

void RefillInput(DecoderInput& input) {
  const bool bounded = input.inputLimit != 0;
  ReadInputChunk(input);
  if (!bounded) return;
  // A short read leaves what it got: the stream's decoding ends where its input ends.
  Archive.DataRemaining -= input.inputAvail < Archive.DataRemaining ? input.inputAvail
                                                                     : Archive.DataRemaining;
}
