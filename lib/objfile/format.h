// The fixed layout of a .zuo object file.
//
// All integers are 32-bit little-endian two's complement and doubles IEEE
// 64-bit little-endian, whatever the platform: a value record or a pointer
// is never written as memory.  A string is its length (without the
// terminator) and, when the length is not 0, the bytes and a NUL.
//
//   header    32 bytes: "Zu", the version as four digits, NULs
//   info      "$zu$info", a string (written empty), "$zu$end"
//   literals  "$zu$literals", n, n values, "$zu$end"
//   symbols   "$zu$symbols", n, n symbol entries, "$zu$end"
//   code      "$zu$pcode", n, n instructions (opcode byte, int), "$zu$end"
#pragma once

#include <cstddef>

namespace zu::objfile {

inline constexpr std::size_t kHeaderSize = 32;
inline constexpr int kVersion = 340;
inline constexpr int kMaxMarkerLength = 60;

inline constexpr const char* kInfoMarker = "$zu$info";
inline constexpr const char* kLiteralMarker = "$zu$literals";
inline constexpr const char* kSymbolMarker = "$zu$symbols";
inline constexpr const char* kCodeMarker = "$zu$pcode";
inline constexpr const char* kEndMarker = "$zu$end";

// Internal functions are stored as external functions: global, external,
// function.
inline constexpr int kIntFuncFlags = 0x126;

// The least number of bytes each item takes in a file: a count read from
// a file is refused unless that many items can still follow, so that no
// count allocates more than the file holds.
inline constexpr std::size_t kMinValueBytes = 4;     // flags
inline constexpr std::size_t kMinSymbolBytes = 8;    // name length, flags
inline constexpr std::size_t kMinMemberBytes = 8;    // name length, flags
inline constexpr std::size_t kMinMethodBytes = 20;   // name, flags, count, address, signature
inline constexpr std::size_t kInstructionBytes = 5;  // opcode byte, operand

// Arrays inside arrays deeper than this are refused: reading them would
// recurse without bound.
inline constexpr int kMaxValueDepth = 256;

// A file larger than this is refused before it is read.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

}  // namespace zu::objfile
