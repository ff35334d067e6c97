// The decoder's input: reads from the file that the source borrows, unbounded for header
// blocks and page texts, bounded by the stream's packed size for the files of the data area.
#include "archive/data_source.h"

#include "archive/setup_archive.h"
#include "codec/decoder.h"

void RefillInput(Decoder& decoder) {
  uint32_t chunk = INPUT_BUFFER_SIZE;
  if (decoder.inputLimit != 0 && decoder.inputLimit < chunk) chunk = decoder.inputLimit;
  decoder.inputNext = decoder.inputBuffer;
  decoder.inputAvail = FileReadSome(decoder.inputFile, decoder.inputBuffer, chunk);
  if (decoder.inputLimit == 0) return;
  // A bounded source counts down the stream's bytes and the volume's data. A short read
  // leaves what it got: the stream's decoding ends where its input ends.
  decoder.inputLimit -= chunk;
  Archive.DataRemaining -= decoder.inputAvail < Archive.DataRemaining ? decoder.inputAvail
                                                                       : Archive.DataRemaining;
}
