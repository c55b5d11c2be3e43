// Writes the seed corpora of the EXIF and JPEG-scanner fuzz harnesses:
//   exif_fuzz_seeds EXIF_DIR JPEG_DIR [CAMERA_FILE...]
// Generated seeds cover every maker-note layout in both byte orders; each
// camera file named adds its EXIF APP1 payload and its headers up to the
// first scan (for runs with real data; those are not kept in the tree).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/exifwriter/exifwriter.h"

namespace ew = exifwriter;

namespace {

bool save(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

std::string segment(unsigned code, const std::string& payload) {
    std::string s{char(0xFF), char(code & 0xFF), char((payload.size() + 2) >> 8),
                  char((payload.size() + 2) & 0xFF)};
    return s + payload;
}

// A tiny baseline stream: one 8x8 grey block (headers valid, data not).
std::string tiny_jpeg(bool restarts, bool progressive) {
    std::string s("\xFF\xD8", 2);
    s += segment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
    s += segment(progressive ? 0xC2 : 0xC0, std::string("\x08\x00\x08\x00\x08\x01\x01\x11\x00", 9));
    std::string dc = std::string("\x00\x00\x01", 3) + std::string(14, '\0') + std::string(1, '\0');
    std::string ac = std::string("\x10\x00\x01", 3) + std::string(14, '\0') + std::string(1, '\0');
    s += segment(0xC4, dc + ac);
    if (restarts) s += segment(0xDD, std::string("\x00\x01", 2));
    s += segment(0xDA, progressive ? std::string("\x01\x01\x00\x00\x00\x01", 6)
                                   : std::string("\x01\x01\x00\x00\x3F\x00", 6));
    return s + std::string("\x00\x3F\xFF\x00\x12", 5) + "\xFF\xD9";
}

ew::ifd_t olympus3_directory() {
    ew::ifd_t equipment, settings, focus, main;
    equipment.add(ew::ascii(0x0203, "Lens"));
    settings.add(ew::shorts(0x0301, {0, 0x11}));
    settings.add(ew::shorts(0x0500, {18}));
    settings.add(ew::longs(0x0804, {1, 12}));
    focus.add(ew::shorts(0x0209, {1}));
    focus.add(ew::shorts(0x0301, {331}));
    focus.add(ew::rationals(0x0305, {{150, 1}}));
    main.add(ew::subdirectory(0x2010, equipment, ew::IFD));
    main.add(ew::subdirectory(0x2020, settings, ew::IFD));
    main.add(ew::subdirectory(0x2050, focus, ew::IFD));
    return main;
}

std::string payload(ew::order_t order, const std::string& make, const ew::makernote_t* note) {
    ew::tiff_t t;
    t.order = order;
    ew::ifd_t exif;
    exif.add(ew::rationals(0x829A, {{1, 60}}));
    exif.add(ew::rationals(0x829D, {{28, 10}}));
    exif.add(ew::shorts(0x8827, {200}));
    exif.add(ew::ascii(0x9003, "2024:01:02 03:04:05"));
    exif.add(ew::srationals(0x9204, {{-1, 3}}));
    exif.add(ew::ascii(0xA434, "Lens"));
    if (note) exif.add(ew::makernote(*note));
    ew::ifd_t gps;
    gps.add(ew::bytes(0, ew::BYTE, std::string("\2\3\0\0", 4)));
    t.ifd0.add(ew::ascii(0x010F, make));
    t.ifd0.add(ew::ascii(0x0110, "Model"));
    t.ifd0.add(ew::shorts(0x0112, {6}));
    t.ifd0.add(ew::rationals(0x011A, {{72, 1}}));
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    t.ifd0.add(ew::subdirectory(0x8825, gps));
    t.ifd0.next = std::make_shared<ew::ifd_t>(ew::thumbnail_ifd(tiny_jpeg(false, false)));
    return ew::exif_payload(ew::write_tiff(t));
}

// The first EXIF APP1 payload of a JPEG or Exiv2 sidecar, and the bytes up
// to the end of its first scan header.
void camera_seeds(const std::string& bytes, std::string& exif, std::string& head) {
    size_t p = bytes.compare(0, 2, "\xFF\xD8") == 0 ? 2 : 7;
    while (p + 4 <= bytes.size() && (unsigned char)bytes[p] == 0xFF) {
        unsigned code = (unsigned char)bytes[p + 1];
        size_t length = size_t((unsigned char)bytes[p + 2]) << 8 | (unsigned char)bytes[p + 3];
        if (length < 2 || p + 2 + length > bytes.size()) break;
        if (code == 0xE1 && exif.empty() && bytes.compare(p + 4, 5, std::string("Exif\0", 5)) == 0)
            exif = bytes.substr(p + 4, length - 2);
        p += 2 + length;
        if (code == 0xDA) break;
    }
    head = bytes.substr(0, std::min(bytes.size(), p + 64));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s EXIF_DIR JPEG_DIR [CAMERA_FILE...]\n", argv[0]);
        return 2;
    }
    const std::string exif_dir = argv[1], jpeg_dir = argv[2];
    bool ok = true;
    ew::ifd_t old_dir;
    old_dir.add(ew::shorts(0x100B, {1}));
    old_dir.add(ew::rationals(0x100C, {{250, 1}}));
    old_dir.add(ew::shorts(0x1015, {2, 3}));
    ew::ifd_t pentax_dir;
    pentax_dir.add(ew::shorts(0x000D, {16}));
    pentax_dir.add(ew::shorts(0x0019, {2}));
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        const std::string o = order == ew::order_t::intel ? "ii" : "mm";
        const ew::makernote_t notes[] = {
            ew::olympus_old(old_dir),
            ew::headerless(old_dir),
            ew::olympus_new(order, olympus3_directory()),
            ew::om_system(order, olympus3_directory()),
            ew::pentax5(order, pentax_dir),
        };
        const char* makes[] = {"OLYMPUS OPTICAL CO.,LTD", "OLYMPUS OPTICAL CO.,LTD",
                               "OLYMPUS IMAGING CORP.", "OM Digital Solutions", "RICOH"};
        const char* names[] = {"olympus_old", "olympus_headerless", "olympus_new", "om_system",
                               "pentax5"};
        for (int i = 0; i < 5; ++i)
            ok &= save(exif_dir + "/" + names[i] + "_" + o, payload(order, makes[i], &notes[i]));
        ok &= save(exif_dir + "/plain_" + o, payload(order, "Canon", nullptr));
    }
    ok &= save(exif_dir + "/xmp", std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 33));
    ok &= save(exif_dir + "/exif_only", std::string("Exif\0\0", 6));
    ok &= save(exif_dir + "/jpeg_with_exif",
               ew::splice_app1(tiny_jpeg(false, false),
                               payload(ew::order_t::intel, "OLYMPUS IMAGING CORP.", nullptr)));

    ok &= save(jpeg_dir + "/baseline", tiny_jpeg(false, false));
    ok &= save(jpeg_dir + "/restarts", tiny_jpeg(true, false));
    ok &= save(jpeg_dir + "/progressive", tiny_jpeg(false, true));
    ok &= save(jpeg_dir + "/soi_eoi", std::string("\xFF\xD8\xFF\xD9\0\0\0\0", 8));
    ok &= save(
        jpeg_dir + "/with_exif",
        ew::splice_app1(tiny_jpeg(true, false), payload(ew::order_t::motorola, "RICOH", nullptr)));

    for (int i = 3; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string exif, head;
        camera_seeds(bytes, exif, head);
        std::string name = argv[i];
        name = name.substr(name.rfind('/') + 1);
        if (!exif.empty()) ok &= save(exif_dir + "/camera_" + name, exif);
        if (bytes.compare(0, 2, "\xFF\xD8") == 0) ok &= save(jpeg_dir + "/camera_" + name, head);
    }
    if (!ok) std::fprintf(stderr, "%s: write error.\n", argv[0]);
    return ok ? 0 : 1;
}
