// Reading input for the decoder from the setup file's data.
#pragma once

class Decoder;

// Fills the decoder's input buffer from its start: up to INPUT_BUFFER_SIZE bytes, or at most
// inputLimit bytes in total across refills when the source is bounded. inputAvail = 0 after
// the call means the input is exhausted.
void RefillInput(Decoder& decoder);
