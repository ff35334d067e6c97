// The source and the entry points: where the input file stands after a stream, limits,
// sinks and their capacity.
#include <gtest/gtest.h>

#include "codec/codec_test_util.h"

namespace {

// One final dynamic block that decodes to "aaaa"; its lookups read a byte past its end.
const Bytes kFourteenByteStream = {0x1E, 0x8C, 0x09, 0xC0, 0x44, 0x6E, 0x5A,
                                   0xE3, 0xDF, 0x04, 0x84, 0xFB, 0x6E, 0x16};

Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A text as page texts are stored: fixed blocks, the last with a match into the first.
Bytes FixedTextStream(const std::string& first, const std::string& second) {
  TestBitWriter writer;
  WriteFixedLiterals(writer, false, first);
  writer.Bits(5, 3).Bits(1, 1);  // final fixed block
  for (unsigned char c : second) FixedLiteralCode().Write(writer, c);
  WriteMatch(writer, uint32_t(first.size()), uint32_t(first.size() + second.size()));
  FixedLiteralCode().Write(writer, 256);  // end of block
  return writer.Finish();
}

// A non-final stored block of n bytes ahead of the fourteen-byte stream.
Bytes StoredThenFourteen(uint32_t n) {
  TestBitWriter writer;
  writer.Bits(7, 3).Bits(0, 1).Align();  // stored block, not final
  writer.Bits(n, 16);                    // LEN
  writer.Bytes(Bytes(n, 'z'));
  return Concat({writer.Finish(), kFourteenByteStream});
}

TEST(DecoderSource, StreamsBackToBackLeaveTheFileBehindEach) {
  const std::vector<Bytes> streams = {
      kFourteenByteStream, FixedTextStream("Welcome ", "to setup"), {0x0F, 0x00, 0x00},
      kFourteenByteStream, FixedTextStream("xyz ", "w"), {0x0F, 0x03, 0x00, 'a', 'b', 'c'}};
  const std::vector<std::string> texts = {"aaaa", "Welcome to setupWelcome ", "", "aaaa",
                                          "xyz wxyz ", "abc"};
  TempFile temp(Concat({Concat(streams), Bytes(16, 0xFF)}));
  FileHandle file = temp.OpenRead();
  uint32_t position = 0;
  for (size_t i = 0; i < streams.size(); ++i) {
    Bytes text(texts[i].size() + 1, '#');
    EXPECT_TRUE(DecodeToMemory(text.data(), uint32_t(texts[i].size()), file, 0)) << i;
    EXPECT_EQ(Bytes(text.begin(), text.end() - 1), BytesOf(texts[i])) << i;
    EXPECT_EQ(text.back(), '#') << i;
    position += uint32_t(streams[i].size());
    EXPECT_EQ(FileTell(file), position) << "after stream " << i;
  }
  FileClose(file);
}

TEST(DecoderSource, FourteenByteStreamLeavesTheFileAtByte14) {
  TempFile temp(Concat({kFourteenByteStream, BytesOf("next stream")}));
  FileHandle file = temp.OpenRead();
  uint8_t text[4];
  EXPECT_TRUE(DecodeToMemory(text, 4, file, 0));
  EXPECT_EQ(Bytes(text, text + 4), BytesOf("aaaa"));
  EXPECT_EQ(FileTell(file), 14u);
  FileClose(file);
}

TEST(DecoderSource, StreamEndingAtARefillLeavesTheFileBehindIt) {
  // The stream's last byte lands around the end of the first 4096-byte read.
  for (uint32_t n = 4072; n <= 4084; ++n) {
    const Bytes stream = StoredThenFourteen(n);
    TempFile temp(Concat({stream, Bytes(8192, 0x5A)}));
    FileHandle file = temp.OpenRead();
    Bytes out(n + 4);
    EXPECT_TRUE(DecodeToMemory(out.data(), n + 4, file, 0)) << n;
    EXPECT_EQ(FileTell(file), stream.size()) << n;
    FileClose(file);
  }
}

TEST(DecoderSource, DecodeToFileWritesOrSkipsAndStopsBehindTheStream) {
  const Bytes stream = FixedTextStream("Readme ", "text ");
  TempFile input(Concat({stream, BytesOf("following")}));
  TempFile output({});
  FileHandle in = input.OpenRead();
  FileHandle out = FileOpen(output.Path().c_str(), OPEN_WRITE);
  EXPECT_TRUE(DecodeToFile(out, in, 0));
  EXPECT_EQ(FileTell(in), stream.size());
  FileClose(out);
  EXPECT_EQ(ReadWholeFile(output.Path()), BytesOf("Readme text Readme "));

  FileSeek(in, 0);
  EXPECT_TRUE(DecodeToFile(INVALID_FILE, in, 0));
  EXPECT_EQ(FileTell(in), stream.size());
  FileClose(in);
}

TEST(DecoderSource, LimitOfTheStreamSizeGivesNothingBack) {
  TempFile temp(Concat({kFourteenByteStream, Bytes(100, 0x33)}));
  FileHandle file = temp.OpenRead();
  RecordingSink sink;
  Decoder decoder;
  ASSERT_TRUE(decoder.OpenSource(file, 14));
  EXPECT_EQ(decoder.DecodeStream(sink), DECODE_OK);
  EXPECT_EQ(DecoderTestAccess::InputAvail(decoder), 0u);
  EXPECT_EQ(FileTell(file), 14u);  // nothing read past the limit
  decoder.CloseSource();
  EXPECT_EQ(FileTell(file), 14u);
  EXPECT_EQ(sink.output, BytesOf("aaaa"));
  FileClose(file);
}

TEST(DecoderSource, RefusesMissingInputOrDestinationWithoutReading) {
  uint8_t block[3] = {};
  EXPECT_FALSE(DecodeToMemory(block, 3, INVALID_FILE, 0));
  EXPECT_FALSE(DecodeToFile(INVALID_FILE, INVALID_FILE, 0));

  TempFile temp(Bytes({0x0F, 0x03, 0x00, 'a', 'b', 'c'}));
  FileHandle file = temp.OpenRead();
  FileSeek(file, 1);
  EXPECT_FALSE(DecodeToMemory(nullptr, 3, file, 0));
  EXPECT_EQ(FileTell(file), 1u);
  FileClose(file);
}

TEST(DecoderSource, MemorySinkKeepsToItsBlock) {
  const Bytes stream = {0x0F, 0x05, 0x00, '1', '2', '3', '4', '5'};
  TempFile temp(stream);
  FileHandle file = temp.OpenRead();
  for (uint32_t size : {0u, 3u, 4u, 5u, 6u}) {
    Bytes block(size + 8, 0xEE);  // guard bytes behind the block
    FileSeek(file, 0);
    EXPECT_EQ(DecodeToMemory(block.data(), size, file, 0), size == 5) << size;
    const uint32_t filled = size < 5 ? size : 5;
    EXPECT_EQ(Bytes(block.begin(), block.begin() + filled),
              Bytes(stream.begin() + 3, stream.begin() + 3 + filled)) << size;
    EXPECT_EQ(Bytes(block.begin() + filled, block.end()), Bytes(size + 8 - filled, 0xEE)) << size;
  }
  FileClose(file);
}

TEST(DecoderSource, GivesBackHeldBytesFromAnEarlierRead) {
  // All ten bytes were taken and the next refill found nothing: the buffer is empty and
  // the held bytes came with the read before it.
  TempFile temp(Bytes(10, 0x42));
  FileHandle file = temp.OpenRead();
  Decoder decoder;
  ASSERT_TRUE(decoder.OpenSource(file, 0));
  uint8_t byte = 0;
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(decoder.NextInputByte(&byte));
  EXPECT_FALSE(decoder.NextInputByte(&byte));
  EXPECT_FALSE(decoder.NextInputByte(&byte));  // exhausted stays exhausted
  DecoderTestAccess::BitBuffer(decoder) = 0x34242;
  DecoderTestAccess::BitCount(decoder) = 19;  // two whole bytes and three bits
  decoder.ReturnHeldBytes();
  EXPECT_EQ(DecoderTestAccess::BitCount(decoder), 3u);
  EXPECT_EQ(DecoderTestAccess::BitBuffer(decoder), 2u);
  decoder.CloseSource();
  EXPECT_EQ(FileTell(file), 8u);
  FileClose(file);
}

TEST(DecoderSource, GivesBackHeldBytesIntoTheBuffer) {
  TempFile temp(Bytes(10, 0x42));
  FileHandle file = temp.OpenRead();
  Decoder decoder;
  ASSERT_TRUE(decoder.OpenSource(file, 0));
  uint8_t byte = 0;
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(decoder.NextInputByte(&byte));
  DecoderTestAccess::BitCount(decoder) = 8 + 2;
  decoder.ReturnHeldBytes();
  EXPECT_EQ(DecoderTestAccess::InputAvail(decoder), 6u);
  decoder.CloseSource();
  EXPECT_EQ(FileTell(file), 4u);
  FileClose(file);
}

// A refill of one byte per read, which counts the reads that start at or past readsFrom.
struct OneByteReads {
  static uint32_t readsFrom;
  static uint32_t readsPast;
  static void Refill(DecoderInput& input) {
    if (FileTell(input.inputFile) >= readsFrom) ++readsPast;
    input.inputNext = input.inputBuffer;
    input.inputAvail = FileReadSome(input.inputFile, input.inputBuffer, 1);
  }
};
uint32_t OneByteReads::readsFrom = 0;
uint32_t OneByteReads::readsPast = 0;

TEST(DecoderSource, GivesBackHeldBytesOfTwoReadsWhereTheStreamStops) {
  // A 1-bit length code in a 10-bit root, and no distance code: the stream stops at the
  // length. Where 9 bits are held before its lookup, the lookup reads a byte and holds two
  // whole bytes past the length, each a read of its own: the newest goes back into the
  // buffer, the older through the file position alone. The texts put the length at every
  // bit of a byte.
  std::vector<uint32_t> literalLengths = LengthsWith(258, {{257, 1}, {256, 10}, {'i', 10}});
  for (uint32_t k = 0; k < 8; ++k) literalLengths['a' + k] = k + 2;
  const CanonicalCode literals(literalLengths);
  uint32_t stopsWithTwoReads = 0;
  for (uint32_t n = 1; n <= 24; ++n) {
    const std::string text(n, 'b');  // 3 bits each
    TestBitWriter writer;
    WriteDynamicHeader(writer, true, literalLengths, {0});
    for (unsigned char c : text) literals.Write(writer, c);
    literals.Write(writer, 257);
    const uint32_t usedBytes = (writer.BitCount() + 7) / 8;
    TempFile temp(Concat({writer.Finish(), Bytes(16, 0xA5)}));
    FileHandle file = temp.OpenRead();
    OneByteReads::readsFrom = usedBytes;
    OneByteReads::readsPast = 0;
    Bytes out(n + 3);
    EXPECT_FALSE(DecodeToMemory(out.data(), n + 3, file, 0, OneByteReads::Refill)) << n;
    EXPECT_EQ(FileTell(file), usedBytes) << n;
    stopsWithTwoReads += OneByteReads::readsPast == 2;
    FileClose(file);
  }
  if (stopsWithTwoReads == 0) GTEST_SKIP() << "no stream stopped with two held bytes";
  EXPECT_EQ(stopsWithTwoReads, 3u);  // 9 bits held: one n in 8
}

// Fixed blocks of literals and matches, long enough to cross several 4 KiB input refills
// at many bit offsets, so that the fast loop takes over the position and hands it back often;
// *expected gets what they stand for.
void WriteLongFixedBlocks(TestBitWriter& writer, uint32_t blocks, Bytes* expected) {
  for (uint32_t block = 0; block < blocks; ++block) {
    writer.Bits(5, 3).Bits(0, 1);  // fixed block, not final
    for (uint32_t i = 0; i < 4000; ++i) {
      const uint8_t literal = uint8_t(i * 37 + block);
      FixedLiteralCode().Write(writer, literal);
      expected->push_back(literal);
      if (i % 5 == 4) {
        WriteMatch(writer, 3 + i % 20, 1 + i % 300);
        ApplyMatch(*expected, 3 + i % 20, 1 + i % 300);
      }
    }
    FixedLiteralCode().Write(writer, 256);  // end of block
  }
}

TEST(DecoderSource, LongHuffmanBlocksEndWhereTheirLastBitIs) {
  Bytes expected;
  TestBitWriter writer;
  WriteLongFixedBlocks(writer, 3, &expected);
  WriteStored(writer, true, BytesOf("tail"));  // starts at the byte boundary after them
  const Bytes stream = writer.Finish();
  DecodeRun run = DecodeBytes(stream);
  EXPECT_EQ(run.result, DECODE_OK);
  expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.taken, stream.size());
}

// A refill of SHORT_READ bytes per read: just enough for the fast loop to start in each.
void ReadShortPieces(DecoderInput& input) {
  constexpr uint32_t SHORT_READ = 16;
  input.inputNext = input.inputBuffer;
  input.inputAvail = FileReadSome(input.inputFile, input.inputBuffer, SHORT_READ);
}

TEST(DecoderSource, FastLoopAfterEveryShortReadKeepsTheStream) {
  // The careful loop crosses each read, often holding bits of the read before when the next
  // round could be the fast loop's, which may take over only bits of its own read.
  Bytes expected;
  TestBitWriter writer;
  WriteLongFixedBlocks(writer, 2, &expected);
  WriteStored(writer, true, BytesOf("tail"));
  expected.insert(expected.end(), {'t', 'a', 'i', 'l'});
  const Bytes stream = writer.Finish();
  TempFile temp(Concat({stream, Bytes(32, 0xA5)}));
  FileHandle file = temp.OpenRead();
  Bytes out(expected.size());
  EXPECT_TRUE(DecodeToMemory(out.data(), uint32_t(out.size()), file, 0, ReadShortPieces));
  EXPECT_TRUE(out == expected);
  EXPECT_EQ(FileTell(file), stream.size());
  FileClose(file);
}

TEST(DecoderSource, InvalidCodeInALongBlockLeavesTheFileBehindTheLastUsedByte) {
  // The invalid code (literal/length symbol 286) comes where the fast loop runs: the file
  // stands behind the byte that holds the last bit used, as after the slow loop. Of the
  // 8-bit code, the 7 bits that link the fixed code's root to its sub-table are used.
  Bytes expected;
  TestBitWriter writer;
  WriteLongFixedBlocks(writer, 1, &expected);
  writer.Bits(5, 3).Bits(1, 1);  // final fixed block
  for (uint32_t i = 0; i < 700; ++i) FixedLiteralCode().Write(writer, 'a' + i % 7);
  const uint32_t usedBits = writer.BitCount();
  FixedLiteralCode().Write(writer, 286);
  for (uint32_t i = 0; i < 100; ++i) FixedLiteralCode().Write(writer, 'z');
  DecodeRun run = DecodeBytes(writer.Finish());
  EXPECT_EQ(run.result, DECODE_BAD_DATA);
  EXPECT_EQ(run.taken, (usedBits + 7 + 7) / 8);
}

}  // namespace
