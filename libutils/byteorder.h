// Reading 16-, 32- and 64-bit values in a file's byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace libutils {

inline unsigned short itohs(unsigned short v) {
    return v;
}
inline unsigned int itohl(unsigned int v) {
    return v;
}
inline unsigned long long itohll(unsigned long long v) {
    return v;
}
inline unsigned short mtohs(unsigned short v) {
    return __builtin_bswap16(v);
}
inline unsigned int mtohl(unsigned int v) {
    return __builtin_bswap32(v);
}
inline unsigned long long mtohll(unsigned long long v) {
    return __builtin_bswap64(v);
}

// Unaligned reads in host order; pass the result through a byteorder.
inline unsigned short get_short(const unsigned char* p) {
    unsigned short v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline unsigned int get_long(const unsigned char* p) {
    unsigned int v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

class byteorder {
  public:
    virtual unsigned short tohs(unsigned short v) const = 0;
    virtual unsigned int tohl(unsigned int v) const = 0;
    virtual unsigned long long tohll(unsigned long long v) const = 0;
    virtual ~byteorder() = default;
};

// Little-endian data ("II").
class intel_byteorder : public byteorder {
  public:
    unsigned short tohs(unsigned short v) const override { return itohs(v); }
    unsigned int tohl(unsigned int v) const override { return itohl(v); }
    unsigned long long tohll(unsigned long long v) const override { return itohll(v); }
};

// Big-endian data ("MM").
class motorola_byteorder : public byteorder {
  public:
    unsigned short tohs(unsigned short v) const override { return mtohs(v); }
    unsigned int tohl(unsigned int v) const override { return mtohl(v); }
    unsigned long long tohll(unsigned long long v) const override { return mtohll(v); }
};

}  // namespace libutils
