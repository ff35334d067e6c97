// The builder's compressor. libdeflate writes a standard raw deflate stream; the rewriter
// parses it bit by bit and re-emits every block in the program's format. Both formats use
// the same prefix codes, so every coded symbol and extra-bit field is copied verbatim and
// only block headers, the code-length-code list and stored-block lengths change.
#include "builder/encoder/stream_encoder.h"

#include <libdeflate.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

// ---- Deflate (RFC 1951), where it differs from the program's format ----
// The two share the alphabets, the prefix codes, the match tables and the dynamic header's
// count fields (stream_format.h). Deflate's block header is BFINAL then a 2-bit BTYPE; it
// lists the code-length-code lengths in another order, allows 32 distance lengths (the
// program's decoder refuses more than 30), and follows a stored block's length with its
// complement.

constexpr unsigned DEFLATE_HEADER_FINAL_BITS = 1;
constexpr unsigned DEFLATE_HEADER_TYPE_BITS = 2;

// Deflate's BTYPE values (RFC 1951 3.2.3); 3 is reserved.
constexpr uint32_t DEFLATE_BLOCK_STORED = 0;
constexpr uint32_t DEFLATE_BLOCK_FIXED = 1;
constexpr uint32_t DEFLATE_BLOCK_DYNAMIC = 2;

// Order of the code-length-code lengths in a deflate header (RFC 1951 3.2.7).
constexpr uint8_t DEFLATE_CODE_LENGTH_ORDER[STREAM_CODE_LENGTH_CODES] = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The literal/length and distance lengths of a dynamic block the rewriter takes, at most.
constexpr unsigned MAX_LENGTHS = STREAM_MAX_LITERAL_LENGTH_CODES + STREAM_MAX_DISTANCE_CODES;

// ---- Bit input and output, least significant bit first (RFC 1951 3.1.1) ----

constexpr unsigned MAX_PEEK_BITS = 32;
constexpr unsigned MAX_PUT_BITS = 32;
constexpr unsigned BYTES_PER_LOAD = 8;
static_assert(MAX_PEEK_BITS + 7 <= 8 * BYTES_PER_LOAD, "a peek fits one load at any bit offset");
static_assert(STREAM_MAX_CODE_LENGTH <= MAX_PEEK_BITS && STREAM_STORED_LENGTH_BITS <= MAX_PUT_BITS);

constexpr uint32_t LowBits(uint32_t value, unsigned n) {
  return n >= 32 ? value : value & ((1u << n) - 1);
}

// Reads a deflate stream as bits. Bits beyond the end read as zeros; Overrun() tells whether
// any bit taken so far lay beyond the end.
class DeflateBitReader {
 public:
  DeflateBitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The next n bits (n <= MAX_PEEK_BITS), without taking them.
  uint32_t Peek(unsigned n) const {
    size_t byte = position_ >> 3;
    uint64_t word = 0;
    unsigned available = byte + BYTES_PER_LOAD <= size_ ? BYTES_PER_LOAD
                         : byte < size_                 ? static_cast<unsigned>(size_ - byte)
                                                        : 0;
    for (unsigned i = 0; i < available; ++i) word |= uint64_t{data_[byte + i]} << (8 * i);
    return LowBits(static_cast<uint32_t>(word >> (position_ & 7)), n);
  }
  void Drop(unsigned n) { position_ += n; }
  uint32_t Take(unsigned n) {
    uint32_t bits = Peek(n);
    Drop(n);
    return bits;
  }
  void AlignToByte() { position_ = (position_ + 7) & ~size_t{7}; }
  // The next count whole bytes, taken, or null when the input ends first. Byte-aligned only.
  const uint8_t* TakeBytes(size_t count) {
    size_t byte = position_ >> 3;
    if (byte > size_ || count > size_ - byte) return nullptr;
    position_ += 8 * count;
    return data_ + byte;
  }
  bool Overrun() const { return position_ > 8 * size_; }
  size_t BytesTouched() const { return (position_ + 7) >> 3; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;  // in bits
};

// Collects the bits of the program's stream as bytes. Fewer than 8 bits are pending
// between calls, and they stay pending from one piece's rewrite to the next: the pieces'
// blocks follow each other bit for bit.
class StreamBitWriter {
 public:
  // Appends the low n bits of bits (n <= MAX_PUT_BITS).
  void Put(uint32_t bits, unsigned n) {
    pending_ |= uint64_t{LowBits(bits, n)} << pendingCount_;
    pendingCount_ += n;
    for (; pendingCount_ >= 8; pendingCount_ -= 8) {
      bytes_.push_back(static_cast<uint8_t>(pending_));
      pending_ >>= 8;
    }
  }
  // Fills the current byte with zero bits.
  void AlignToByte() {
    if (pendingCount_ != 0) Put(0, 8 - pendingCount_);
  }
  // Appends whole bytes; byte-aligned only.
  void PutBytes(const uint8_t* bytes, size_t count) { bytes_.insert(bytes_.end(), bytes, bytes + count); }
  // The whole bytes written so far; taking them leaves the pending bits in place.
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t pending_ = 0;
  unsigned pendingCount_ = 0;
};

// ---- Canonical prefix codes (RFC 1951 3.2.2) ----

// Decode table of one code, indexed by the next maxBits stream bits. An entry holds the
// symbol above ENTRY_LENGTH_BITS bits of code length; NO_CODE where no code begins.
constexpr unsigned ENTRY_LENGTH_BITS = 4;
constexpr uint16_t NO_CODE = 0;
static_assert(STREAM_MAX_CODE_LENGTH < (1u << ENTRY_LENGTH_BITS));
static_assert((STREAM_FIXED_LITERAL_LENGTH_CODES << ENTRY_LENGTH_BITS) <= UINT16_MAX);

struct DeflateCode {
  unsigned maxBits = 0;          // 0 for a code without symbols
  std::vector<uint16_t> table;   // 2^maxBits entries
};

uint32_t ReverseBits(uint32_t code, unsigned n) {
  uint32_t reversed = 0;
  for (unsigned i = 0; i < n; ++i, code >>= 1) reversed = (reversed << 1) | (code & 1);
  return reversed;
}

// Builds the decode table from n code lengths (0 = no code). False when the code is
// over-subscribed, or incomplete other than a single 1-bit code, which the program's
// decoder refuses too. A code without any symbol is built (it matches nothing).
bool BuildDeflateCode(const uint8_t* lengths, unsigned n, DeflateCode& code) {
  unsigned count[STREAM_MAX_CODE_LENGTH + 1] = {};
  for (unsigned symbol = 0; symbol < n; ++symbol) ++count[lengths[symbol]];
  count[0] = 0;
  code.maxBits = 0;
  for (unsigned length = 1; length <= STREAM_MAX_CODE_LENGTH; ++length) {
    if (count[length] != 0) code.maxBits = length;
  }
  // Kraft sum: left is the number of free codes of the current length.
  int32_t left = 1;
  for (unsigned length = 1; length <= STREAM_MAX_CODE_LENGTH; ++length) {
    left = 2 * left - static_cast<int32_t>(count[length]);
    if (left < 0) return false;
  }
  bool singleOneBitCode = code.maxBits == 1 && count[1] == 1;
  if (code.maxBits != 0 && left != 0 && !singleOneBitCode) return false;

  uint32_t nextCode[STREAM_MAX_CODE_LENGTH + 1] = {};
  for (unsigned length = 1; length <= STREAM_MAX_CODE_LENGTH; ++length) {
    nextCode[length] = (nextCode[length - 1] + count[length - 1]) << 1;
  }
  code.table.assign(size_t{1} << code.maxBits, NO_CODE);
  for (unsigned symbol = 0; symbol < n; ++symbol) {
    unsigned length = lengths[symbol];
    if (length == 0) continue;
    uint16_t entry = static_cast<uint16_t>(symbol << ENTRY_LENGTH_BITS | length);
    // The stream delivers a code's first (most significant) bit first, at index bit 0.
    for (size_t index = ReverseBits(nextCode[length]++, length); index < code.table.size();
         index += size_t{1} << length) {
      code.table[index] = entry;
    }
  }
  return true;
}

const DeflateCode& DeflateFixedLiteralCode() {
  static const DeflateCode code = [] {
    uint8_t lengths[STREAM_FIXED_LITERAL_LENGTH_CODES];
    for (unsigned symbol = 0; symbol < STREAM_FIXED_LITERAL_LENGTH_CODES; ++symbol) {
      lengths[symbol] = static_cast<uint8_t>(StreamFixedLiteralLength(symbol));
    }
    DeflateCode built;
    BuildDeflateCode(lengths, STREAM_FIXED_LITERAL_LENGTH_CODES, built);
    return built;
  }();
  return code;
}

const DeflateCode& DeflateFixedDistanceCode() {
  static const DeflateCode code = [] {
    uint8_t lengths[STREAM_FIXED_DISTANCE_CODES];
    std::memset(lengths, STREAM_FIXED_DISTANCE_LENGTH, STREAM_FIXED_DISTANCE_CODES);
    DeflateCode built;
    BuildDeflateCode(lengths, STREAM_FIXED_DISTANCE_CODES, built);
    return built;
  }();
  return code;
}

// ---- The rewriter ----

// Rewrites one deflate stream into out. When endsStream is false its final block is
// written as an ordinary one and its last bits stay pending, for the next piece to follow.
class StreamRewriter {
 public:
  StreamRewriter(const uint8_t* deflate, size_t size, StreamBitWriter& out,
                 std::vector<uint8_t>* blockTypes, bool endsStream)
      : in_(deflate, size), out_(out), size_(size), blockTypes_(blockTypes), endsStream_(endsStream) {}

  bool Run();

 private:
  bool RewriteStoredBlock();
  bool RewriteDynamicBlock();
  bool CopyCodeLengths(const DeflateCode& codeLengthCode, uint8_t* lengths, unsigned n);
  bool CopySymbols(const DeflateCode& literals, const DeflateCode& distances);
  void WriteBlockHeader(uint32_t type);
  void WriteCodeLengthLengths(const uint8_t* codeLengthLengths);

  // Copies one coded symbol into *symbol; false when the bits begin no code.
  bool CopySymbol(const DeflateCode& code, unsigned* symbol) {
    uint32_t bits = in_.Peek(code.maxBits);
    uint16_t entry = code.table[bits];
    if (entry == NO_CODE) return false;
    unsigned length = entry & ((1u << ENTRY_LENGTH_BITS) - 1);
    out_.Put(bits, length);
    in_.Drop(length);
    *symbol = entry >> ENTRY_LENGTH_BITS;
    return true;
  }
  uint32_t CopyBits(unsigned n) {
    uint32_t bits = in_.Take(n);
    out_.Put(bits, n);
    return bits;
  }

  DeflateBitReader in_;
  StreamBitWriter& out_;
  size_t size_;
  std::vector<uint8_t>* blockTypes_;
  bool endsStream_;
  bool final_ = false;       // the block being rewritten is the last one
  uint64_t produced_ = 0;    // decoded bytes so far, which bounds match distances
};

bool StreamRewriter::Run() {
  do {
    final_ = in_.Take(DEFLATE_HEADER_FINAL_BITS) != 0;
    uint32_t type = in_.Take(DEFLATE_HEADER_TYPE_BITS);
    bool ok = false;
    if (type == DEFLATE_BLOCK_STORED) {
      ok = RewriteStoredBlock();
    } else if (type == DEFLATE_BLOCK_FIXED) {
      WriteBlockHeader(STREAM_BLOCK_FIXED);
      ok = CopySymbols(DeflateFixedLiteralCode(), DeflateFixedDistanceCode());
    } else if (type == DEFLATE_BLOCK_DYNAMIC) {
      ok = RewriteDynamicBlock();
    }
    if (!ok || in_.Overrun()) return false;
  } while (!final_);
  if (endsStream_) out_.AlignToByte();
  // The stream must end in the byte that holds its last bit, as the decoder's will.
  return in_.BytesTouched() == size_;
}

void StreamRewriter::WriteBlockHeader(uint32_t type) {
  out_.Put(type | (final_ && endsStream_ ? STREAM_BLOCK_FINAL : 0), STREAM_BLOCK_HEADER_BITS);
  if (blockTypes_ != nullptr) blockTypes_->push_back(static_cast<uint8_t>(type));
}

// Stored: deflate aligns, then LEN and its complement NLEN; the program's format aligns
// after its own header and keeps LEN alone.
bool StreamRewriter::RewriteStoredBlock() {
  in_.AlignToByte();
  uint32_t length = in_.Take(STREAM_STORED_LENGTH_BITS);
  uint32_t complement = in_.Take(STREAM_STORED_LENGTH_BITS);
  if ((length ^ complement) != LowBits(~0u, STREAM_STORED_LENGTH_BITS)) return false;
  const uint8_t* bytes = in_.TakeBytes(length);
  if (bytes == nullptr) return false;
  WriteBlockHeader(STREAM_BLOCK_STORED);
  out_.AlignToByte();
  out_.Put(length, STREAM_STORED_LENGTH_BITS);
  out_.PutBytes(bytes, length);
  produced_ += length;
  return true;
}

bool StreamRewriter::RewriteDynamicBlock() {
  uint32_t hlit = in_.Take(STREAM_HLIT_BITS);
  uint32_t hdist = in_.Take(STREAM_HDIST_BITS);
  uint32_t hclen = in_.Take(STREAM_HCLEN_BITS);
  unsigned literalCount = STREAM_MIN_LITERAL_LENGTH_CODES + hlit;
  unsigned distanceCount = STREAM_MIN_DISTANCE_CODES + hdist;
  if (literalCount > STREAM_MAX_LITERAL_LENGTH_CODES || distanceCount > STREAM_MAX_DISTANCE_CODES) {
    return false;
  }

  uint8_t codeLengthLengths[STREAM_CODE_LENGTH_CODES] = {};
  for (unsigned i = 0; i < STREAM_MIN_CODE_LENGTH_CODES + hclen; ++i) {
    codeLengthLengths[DEFLATE_CODE_LENGTH_ORDER[i]] =
        static_cast<uint8_t>(in_.Take(STREAM_CODE_LENGTH_CODE_BITS));
  }
  DeflateCode codeLengthCode;
  if (!BuildDeflateCode(codeLengthLengths, STREAM_CODE_LENGTH_CODES, codeLengthCode) ||
      codeLengthCode.maxBits == 0) {
    return false;
  }

  WriteBlockHeader(STREAM_BLOCK_DYNAMIC);
  out_.Put(hlit, STREAM_HLIT_BITS);
  out_.Put(hdist, STREAM_HDIST_BITS);
  WriteCodeLengthLengths(codeLengthLengths);

  // Literal/length and distance lengths form one sequence; repeats may cross between them.
  uint8_t lengths[MAX_LENGTHS];
  if (!CopyCodeLengths(codeLengthCode, lengths, literalCount + distanceCount)) return false;
  DeflateCode literals;
  DeflateCode distances;
  if (!BuildDeflateCode(lengths, literalCount, literals) || lengths[STREAM_END_OF_BLOCK] == 0) {
    return false;
  }
  if (!BuildDeflateCode(lengths + literalCount, distanceCount, distances)) return false;
  return CopySymbols(literals, distances);
}

// HCLEN counts the lengths written in the program's order, whose trailing zeros are dropped.
void StreamRewriter::WriteCodeLengthLengths(const uint8_t* codeLengthLengths) {
  unsigned count = STREAM_CODE_LENGTH_CODES;
  while (count > STREAM_MIN_CODE_LENGTH_CODES &&
         codeLengthLengths[STREAM_CODE_LENGTH_ORDER[count - 1]] == 0) {
    --count;
  }
  out_.Put(count - STREAM_MIN_CODE_LENGTH_CODES, STREAM_HCLEN_BITS);
  for (unsigned i = 0; i < count; ++i) {
    out_.Put(codeLengthLengths[STREAM_CODE_LENGTH_ORDER[i]], STREAM_CODE_LENGTH_CODE_BITS);
  }
}

bool StreamRewriter::CopyCodeLengths(const DeflateCode& codeLengthCode, uint8_t* lengths,
                                     unsigned n) {
  unsigned filled = 0;
  while (filled < n) {
    if (in_.Overrun()) return false;
    unsigned symbol = 0;
    if (!CopySymbol(codeLengthCode, &symbol)) return false;
    if (symbol < STREAM_REPEAT_PREVIOUS) {
      lengths[filled++] = static_cast<uint8_t>(symbol);
      continue;
    }
    // Deflate has no previous length to repeat at the start, though the program's
    // decoder would repeat a 0 there.
    if (symbol == STREAM_REPEAT_PREVIOUS && filled == 0) return false;
    uint8_t value = symbol == STREAM_REPEAT_PREVIOUS ? lengths[filled - 1] : 0;
    unsigned kind = symbol - STREAM_REPEAT_PREVIOUS;
    unsigned repeat = STREAM_REPEAT_MIN[kind] + CopyBits(STREAM_REPEAT_EXTRA_BITS[kind]);
    if (repeat > n - filled) return false;
    std::memset(lengths + filled, value, repeat);
    filled += repeat;
  }
  return true;
}

bool StreamRewriter::CopySymbols(const DeflateCode& literals, const DeflateCode& distances) {
  for (;;) {
    if (in_.Overrun()) return false;
    unsigned symbol = 0;
    if (!CopySymbol(literals, &symbol)) return false;
    if (symbol < STREAM_END_OF_BLOCK) {
      ++produced_;
      continue;
    }
    if (symbol == STREAM_END_OF_BLOCK) return true;
    unsigned lengthIndex = symbol - STREAM_FIRST_LENGTH_SYMBOL;
    if (lengthIndex >= STREAM_LENGTH_SYMBOLS) return false;
    uint32_t length = STREAM_LENGTH_BASE[lengthIndex] + CopyBits(STREAM_LENGTH_EXTRA[lengthIndex]);
    // A block without distance codes has an empty table here, which matches nothing.
    unsigned distanceSymbol = 0;
    if (!CopySymbol(distances, &distanceSymbol) || distanceSymbol >= STREAM_MAX_DISTANCE_CODES) return false;
    uint32_t distance =
        STREAM_DISTANCE_BASE[distanceSymbol] + CopyBits(STREAM_DISTANCE_EXTRA[distanceSymbol]);
    if (distance > produced_) return false;
    produced_ += length;
  }
}

struct CompressorDeleter {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

}  // namespace

bool RewriteDeflateStream(const uint8_t* deflate, size_t size, std::vector<uint8_t>& out,
                          std::vector<uint8_t>* blockTypes) {
  StreamBitWriter writer;
  // The rewritten stream differs from the original by a few bits per block.
  writer.Bytes().reserve(size + size / 64 + 16);
  if (blockTypes != nullptr) blockTypes->clear();
  const bool ok = StreamRewriter(deflate, size, writer, blockTypes, true).Run();
  out.swap(writer.Bytes());
  return ok;
}

struct PieceDeflater::State {
  std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor;
};

PieceDeflater::PieceDeflater(int level) : state_(new State) {
  state_->compressor.reset(libdeflate_alloc_compressor(level));
  if (!state_->compressor) throw std::invalid_argument("compression level must be 0 to 12");
}

PieceDeflater::~PieceDeflater() = default;

void PieceDeflater::Compress(const uint8_t* data, size_t size, std::vector<uint8_t>& compressed) {
  static const uint8_t kNothing = 0;
  if (size == 0) data = &kNothing;
  compressed.resize(libdeflate_deflate_compress_bound(state_->compressor.get(), size));
  const size_t written = libdeflate_deflate_compress(state_->compressor.get(), data, size, compressed.data(),
                                                     compressed.size());
  if (written == 0) throw std::runtime_error("libdeflate could not compress the data");
  compressed.resize(written);
}

struct StreamEncoder::State {
  PieceDeflater compressor;
  std::vector<uint8_t> deflate;  // one piece's deflate output
  StreamBitWriter writer;
  bool ended = false;
  explicit State(int level) : compressor(level) {}
};

StreamEncoder::StreamEncoder(int level) : state_(new State(level)) {}

StreamEncoder::~StreamEncoder() = default;

void StreamEncoder::Add(const uint8_t* data, size_t size, bool last, std::vector<uint8_t>& out) {
  if (state_->ended) throw std::logic_error("the stream has ended");
  state_->compressor.Compress(data, size, state_->deflate);
  AddCompressed(state_->deflate, last, out);
}

void StreamEncoder::AddCompressed(const std::vector<uint8_t>& compressed, bool last, std::vector<uint8_t>& out) {
  if (state_->ended) throw std::logic_error("the stream has ended");
  if (!StreamRewriter(compressed.data(), compressed.size(), state_->writer, nullptr, last).Run()) {
    throw std::runtime_error("libdeflate's stream cannot be rewritten for the program's decoder");
  }
  std::vector<uint8_t>& bytes = state_->writer.Bytes();
  out.insert(out.end(), bytes.begin(), bytes.end());
  bytes.clear();
  state_->ended = last;
}

std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, int level) {
  std::vector<uint8_t> stream;
  StreamEncoder(level).Add(data, size, true, stream);
  return stream;
}
