#pragma once

#include <cstddef>
#include <string_view>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Looking for a few kinds of byte in a text sixteen bytes at a time: the loaders and writers of
// tables and CSV files skip the bytes between them without looking at each.
constexpr std::size_t kMaskBytes = 16;

// REQUIRES: kMaskBytes bytes can be read from p.
// Bit i is set when byte p[i] is one of chars (which may hold a NUL).
inline unsigned ByteMask(const char* p, std::string_view chars)
{
#ifdef __SSE2__
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i marks = _mm_setzero_si128();
    for (const char ch : chars)
        marks = _mm_or_si128(marks, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(ch)));
    return static_cast<unsigned>(_mm_movemask_epi8(marks));
#else
    unsigned nMask = 0;
    for (std::size_t i = 0; i < kMaskBytes; ++i)
        nMask |= chars.find(p[i]) != std::string_view::npos ? 1u << i : 0u;
    return nMask;
#endif
}
