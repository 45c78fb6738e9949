#include "formats/nbt.h"

namespace terrafix {

namespace {

size_t FixedSize(uint8_t type) {
  switch (type) {
    case TagByte: return 1;
    case TagShort: return 2;
    case TagInt: case TagFloat: return 4;
    case TagLong: case TagDouble: return 8;
    default: return 0;
  }
}

}  // namespace

uint64_t NbtCount(BoundedReader& r, uint64_t size) {
  const uint64_t n = r.Number(4);
  if (n > 0x7FFFFFFF) r.Failed = r.Broken = true;
  if (size > 0 && !r.Has(n * size)) r.Failed = true;
  return r.Failed ? 0 : n;
}

void SkipNbtPayload(BoundedReader& r, uint8_t type, int depth) {
  if (depth > NbtMaxDepth) {
    r.Failed = r.Broken = true;
    return;
  }
  if (size_t size = FixedSize(type)) return r.Skip(size);
  switch (type) {
    case TagByteArray: r.Skip(NbtCount(r, 1)); return;
    case TagString: r.Skip(r.Number(2)); return;
    case TagIntArray: r.Skip(NbtCount(r, 4) * 4); return;
    case TagLongArray: r.Skip(NbtCount(r, 8) * 8); return;
    case TagList: {
      const uint8_t element = static_cast<uint8_t>(r.Number(1));
      // Each element takes a byte at least, but an End element none: a list of them must be empty.
      const uint64_t count = NbtCount(r, element == TagEnd ? 0 : 1);
      if (element == TagEnd && count > 0) r.Failed = r.Broken = true;
      for (uint64_t i = 0; i < count && !r.Failed; ++i) SkipNbtPayload(r, element, depth + 1);
      return;
    }
    case TagCompound:
      for (;;) {
        const uint8_t tag = static_cast<uint8_t>(r.Number(1));
        if (r.Failed || tag == TagEnd) return;
        r.ShortText();
        SkipNbtPayload(r, tag, depth + 1);
      }
    default:  // a type of none, unless the bytes ended before it
      if (!r.Failed) r.Broken = true;
      r.Failed = true;
  }
}

}  // namespace terrafix
