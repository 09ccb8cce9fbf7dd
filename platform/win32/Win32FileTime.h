#pragma once
// FILETIME structures and the 64-bit tick counts the archive stores.

#include <windows.h>

#include <cstdint>

namespace vocell::win32 {

inline std::uint64_t TicksOf(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

inline FILETIME FileTimeOf(std::uint64_t ticks) {
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace vocell::win32
