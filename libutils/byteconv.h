// Conversions between colour bytes and floats: unsigned bytes span 0..1,
// signed bytes span -1..1 (the encoding of normal maps and chroma).
#pragma once

namespace libutils {

inline float uc2f(unsigned char b) {
    return b * 0.003921569f;
}

inline unsigned char f2uc(float f) {
    return (unsigned char)((int)(f * 255.0f + 0.5f) & 255);
}

inline signed char f2sc(float f) {
    return (signed char)(f >= 0 ? (int)(f * 127.0f + 0.5f) : (int)(f * 127.0f - 0.5f));
}

inline float sc2f(signed char s) {
    return s * 0.007874016f;
}

}  // namespace libutils
