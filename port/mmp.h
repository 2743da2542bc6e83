#pragma once

#include <cstdint>

// The port driver's five entry points, imported from libmmp.so.1 at load time so that another
// library with the same operations can be put in its place. None lets an exception out: a failure
// inside the driver becomes the operation's failure result.
extern "C" {
int32_t MMPOpen(void) noexcept;                     // 0 = open; only the low 8 bits count
int32_t MMPClose(void) noexcept;
int32_t MMPGetID(char* buffer) noexcept;            // writes at most 256 bytes, NUL-terminated text
uint32_t MMPInp(int32_t port) noexcept;             // low 8 bits: the byte read
int32_t MMPOutp(int32_t port, int32_t value) noexcept;
}
