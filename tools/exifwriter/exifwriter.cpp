#include "tools/exifwriter/exifwriter.h"

#include <algorithm>

namespace exifwriter {

namespace {

// Bytes of one unit of a type: a rational is written as two 4-byte units.
unsigned unit_size(uint16_t type) {
    switch (type) {
        case SHORT:
        case SSHORT:
            return 2;
        case LONG:
        case SLONG:
        case RATIONAL:
        case SRATIONAL:
        case FLOAT:
        case IFD:
            return 4;
        case DOUBLE:
            return 8;
        default:
            return 1;
    }
}

bytes_t order_mark(order_t order) {
    return order == order_t::intel ? "II" : "MM";
}

class writer_t {
  public:
    bytes_t out;

    // Appends `n` bytes of `v` in `order`.
    void put(uint64_t v, unsigned n, order_t order) { out += encode(v, n, order); }

    static bytes_t encode(uint64_t v, unsigned n, order_t order) {
        bytes_t b(n, '\0');
        for (unsigned i = 0; i < n; ++i) {
            unsigned shift = 8 * (order == order_t::intel ? i : n - 1 - i);
            b[i] = char((v >> shift) & 0xFF);
        }
        return b;
    }

    void patch(uint64_t at, uint64_t v, unsigned n, order_t order) {
        out.replace(at, n, encode(v, n, order));
    }

    void align() {
        if (out.size() % 2) out += '\0';
    }

    struct context_t {
        order_t order;
        uint64_t base;  // where offsets count from
    };

    // Writes a directory at the end, then its values, sub-directories and the
    // next directory of its chain; returns the directory's position.
    uint64_t put_ifd(const ifd_t& dir, const context_t& ctx, bool aligned = true) {
        if (aligned) align();
        const uint64_t pos = out.size();
        std::vector<const entry_t*> entries;
        for (const entry_t& e : dir.entries) entries.push_back(&e);
        if (dir.sort)
            std::stable_sort(entries.begin(), entries.end(),
                             [](const entry_t* a, const entry_t* b) { return a->tag < b->tag; });

        put(entries.size(), 2, ctx.order);
        for (const entry_t* e : entries) {
            put(e->tag, 2, ctx.order);
            put(e->type, 2, ctx.order);
            put(e->count, 4, ctx.order);
            put(e->kind == entry_t::raw ? e->field : 0, 4, ctx.order);
        }
        const uint64_t next_at = out.size();
        put(0, 4, ctx.order);

        for (size_t i = 0; i < entries.size(); ++i) {
            const entry_t& e = *entries[i];
            const uint64_t count_at = pos + 2 + 12 * i + 4;
            const uint64_t field_at = count_at + 4;
            switch (e.kind) {
                case entry_t::raw:
                    break;
                case entry_t::values: {
                    bytes_t data = value_bytes(e, ctx.order);
                    if (data.size() <= 4) {
                        out.replace(field_at, data.size(), data);
                    } else {
                        align();
                        patch(field_at, out.size() - ctx.base, 4, ctx.order);
                        out += data;
                    }
                    break;
                }
                case entry_t::blob:
                    align();
                    patch(field_at, out.size() - ctx.base, 4, ctx.order);
                    out += e.bytes;
                    break;
                case entry_t::subdirectory:
                    patch(field_at, put_ifd(*e.sub, ctx) - ctx.base, 4, ctx.order);
                    break;
                case entry_t::makernote: {
                    align();
                    const uint64_t start = out.size();
                    put_makernote(*e.note, ctx);
                    patch(count_at, out.size() - start, 4, ctx.order);
                    patch(field_at, start - ctx.base, 4, ctx.order);
                    break;
                }
            }
        }

        if (dir.next_field)
            patch(next_at, *dir.next_field, 4, ctx.order);
        else if (dir.next)
            patch(next_at, put_ifd(*dir.next, ctx) - ctx.base, 4, ctx.order);
        return pos;
    }

    void put_makernote(const makernote_t& note, const context_t& outer) {
        const uint64_t start = out.size();
        out += note.header;
        context_t inner{note.order.value_or(outer.order), note.self_relative ? start : outer.base};
        put_ifd(note.dir, inner, false);
    }

    static bytes_t value_bytes(const entry_t& e, order_t order) {
        if (!e.bytes.empty() || e.numbers.empty()) return e.bytes;
        bytes_t data;
        for (uint64_t v : e.numbers) data += encode(v, unit_size(e.type), order);
        return data;
    }
};

entry_t values_entry(uint16_t tag, uint16_t type, uint32_t count) {
    entry_t e;
    e.tag = tag;
    e.type = type;
    e.count = count;
    return e;
}

makernote_t note(bytes_t header, std::optional<order_t> order, bool self_relative, ifd_t dir) {
    makernote_t n;
    n.header = std::move(header);
    n.order = order;
    n.self_relative = self_relative;
    n.dir = std::move(dir);
    return n;
}

uint16_t be16(const bytes_t& b, size_t at) {
    return uint16_t((unsigned char)b[at] << 8 | (unsigned char)b[at + 1]);
}

}  // namespace

entry_t ascii(uint16_t tag, const std::string& text) {
    entry_t e = values_entry(tag, ASCII, uint32_t(text.size() + 1));
    e.bytes = text + '\0';
    return e;
}

entry_t bytes(uint16_t tag, type_t type, const bytes_t& data) {
    entry_t e = values_entry(tag, type, uint32_t(data.size()));
    e.bytes = data;
    return e;
}

entry_t shorts(uint16_t tag, const std::vector<uint16_t>& v) {
    return numbers(tag, SHORT, uint32_t(v.size()), std::vector<uint64_t>(v.begin(), v.end()));
}

entry_t longs(uint16_t tag, const std::vector<uint32_t>& v) {
    return numbers(tag, LONG, uint32_t(v.size()), std::vector<uint64_t>(v.begin(), v.end()));
}

entry_t rationals(uint16_t tag, const std::vector<std::pair<uint32_t, uint32_t>>& v) {
    std::vector<uint64_t> n;
    for (const auto& r : v) {
        n.push_back(r.first);
        n.push_back(r.second);
    }
    return numbers(tag, RATIONAL, uint32_t(v.size()), n);
}

entry_t srationals(uint16_t tag, const std::vector<std::pair<int32_t, int32_t>>& v) {
    std::vector<uint64_t> n;
    for (const auto& r : v) {
        n.push_back(uint32_t(r.first));
        n.push_back(uint32_t(r.second));
    }
    return numbers(tag, SRATIONAL, uint32_t(v.size()), n);
}

entry_t numbers(uint16_t tag, uint16_t type, uint32_t count, const std::vector<uint64_t>& v) {
    entry_t e = values_entry(tag, type, count);
    e.numbers = v;
    return e;
}

entry_t raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
    entry_t e = values_entry(tag, type, count);
    e.kind = entry_t::raw;
    e.field = field;
    return e;
}

entry_t subdirectory(uint16_t tag, ifd_t dir, type_t type) {
    entry_t e = values_entry(tag, type, 1);
    e.kind = entry_t::subdirectory;
    e.sub = std::make_shared<const ifd_t>(std::move(dir));
    return e;
}

entry_t makernote(makernote_t n, uint16_t tag) {
    entry_t e = values_entry(tag, UNDEFINED, 0);
    e.kind = entry_t::makernote;
    e.note = std::make_shared<const makernote_t>(std::move(n));
    return e;
}

entry_t offset_of(uint16_t tag, const bytes_t& data) {
    entry_t e = values_entry(tag, LONG, 1);
    e.kind = entry_t::blob;
    e.bytes = data;
    return e;
}

ifd_t thumbnail_ifd(const bytes_t& jpeg) {
    ifd_t d;
    d.add(shorts(0x0103, {6}));
    d.add(offset_of(0x0201, jpeg));
    d.add(longs(0x0202, {uint32_t(jpeg.size())}));
    return d;
}

makernote_t olympus_old(ifd_t dir) {
    return note(bytes_t("OLYMP\0\1\0", 8), std::nullopt, false, std::move(dir));
}

makernote_t olympus_new(order_t order, ifd_t dir) {
    return note(bytes_t("OLYMPUS\0", 8) + order_mark(order) + bytes_t("\3\0", 2), order, true,
                std::move(dir));
}

makernote_t om_system(order_t order, ifd_t dir) {
    return note(bytes_t("OM SYSTEM\0\0\0", 12) + order_mark(order) + bytes_t("\4\0", 2), order,
                true, std::move(dir));
}

makernote_t pentax_aoc(order_t order, ifd_t dir) {
    return note(bytes_t("AOC\0", 4) + order_mark(order), order, false, std::move(dir));
}

makernote_t pentax5(order_t order, ifd_t dir) {
    return note(bytes_t("PENTAX \0", 8) + order_mark(order), order, true, std::move(dir));
}

makernote_t headerless(ifd_t dir) {
    return note(bytes_t(), std::nullopt, false, std::move(dir));
}

bytes_t write_tiff(const tiff_t& tiff) {
    writer_t w;
    w.out = order_mark(tiff.order);
    w.put(tiff.magic, 2, tiff.order);
    w.put(0, 4, tiff.order);
    const uint64_t ifd0 = w.put_ifd(tiff.ifd0, {tiff.order, 0});
    w.patch(4, tiff.ifd0_offset.value_or(uint32_t(ifd0)), 4, tiff.order);
    return w.out;
}

bytes_t write_makernote(const makernote_t& n, order_t order) {
    writer_t w;
    w.put_makernote(n, {order, 0});
    return w.out;
}

bytes_t exif_payload(const bytes_t& tiff) {
    return bytes_t("Exif\0\0", 6) + tiff;
}

bytes_t app1_segment(const bytes_t& payload) {
    if (payload.size() > 65533) return bytes_t();
    bytes_t s("\xFF\xE1", 2);
    s += char((payload.size() + 2) >> 8);
    s += char((payload.size() + 2) & 0xFF);
    return s + payload;
}

bytes_t splice_app1(const bytes_t& jpeg, const bytes_t& payload) {
    bytes_t segment = app1_segment(payload);
    if (segment.empty() || jpeg.size() < 2 || be16(jpeg, 0) != 0xFFD8) return bytes_t();
    bytes_t out = jpeg.substr(0, 2) + segment;
    // Copy the segments up to the first scan, leaving out EXIF APP1s; the
    // rest goes over unchanged.
    size_t p = 2;
    while (p + 4 <= jpeg.size()) {
        uint16_t code = be16(jpeg, p);
        if ((code >> 8) != 0xFF || code == 0xFFDA || code == 0xFFD9) break;
        size_t length = be16(jpeg, p + 2);
        if (length < 2 || p + 2 + length > jpeg.size()) break;
        bool exif = code == 0xFFE1 && length >= 8 && jpeg.compare(p + 4, 6, "Exif\0\0", 6) == 0;
        if (!exif) out += jpeg.substr(p, 2 + length);
        p += 2 + length;
    }
    return out + jpeg.substr(p);
}

}  // namespace exifwriter
