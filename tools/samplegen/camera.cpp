#include "camera.h"

namespace samplegen {

using namespace exifwriter;

namespace {

enum e_family_t { olympus_old_family, olympus_new_family, om_family, pentax_family, plain_family };

struct camera_t {
    const char* make;
    const char* model;
    e_family_t family;
    order_t order;
    const char* lens;
};

const camera_t s_cameras[] = {
    {"OM Digital Solutions", "OM-1", om_family, order_t::intel,
     "M.Zuiko Digital ED 12-40mm F2.8 PRO"},
    {"OLYMPUS IMAGING CORP.", "E-M5", olympus_new_family, order_t::intel,
     "OLYMPUS M.14-42mm F3.5-5.6 II R"},
    {"OLYMPUS OPTICAL CO.,LTD", "C5050Z", olympus_old_family, order_t::intel, ""},
    {"RICOH IMAGING COMPANY, LTD.", "PENTAX K-3 Mark III", pentax_family, order_t::motorola,
     "HD PENTAX-DA 16-85mm F3.5-5.6 ED DC WR"},
    {"Canon", "Canon EOS R6", plain_family, order_t::intel, "RF24-105mm F4 L IS USM"},
};

unsigned gcd(unsigned a, unsigned b) {
    return b ? gcd(b, a % b) : a;
}

// The maker note of the camera's family, with the focus and white-balance
// fields the album pages describe.
entry_t maker_note(const camera_t& cam, const shot_t& shot) {
    switch (cam.family) {
        case om_family:
        case olympus_new_family: {
            ifd_t equipment, settings, focus, main;
            equipment.add(ascii(0x0203, cam.lens));
            // Focus mode: S-AF (or C-AF for the second shot of a series), with
            // the AF bits in the second value.
            settings.add(shorts(0x0301, {0, uint16_t(shot.flash ? 0x04 : 0x11)}));
            settings.add(shorts(0x0500, {uint16_t(shot.orientation == 1 ? 0 : 23)}));
            settings.add(shorts(0x0501, {0}));
            if (cam.family == om_family)
                settings.add(longs(0x0804, {shot.iso > 1000 ? 1u : 0u, 12}));
            focus.add(shorts(0x0209, {1}));
            focus.add(shorts(0x0301, {uint16_t(180 + shot.focal_mm)}));
            main.add(subdirectory(0x2010, equipment));
            main.add(subdirectory(0x2020, settings));
            main.add(subdirectory(0x2050, focus));
            return makernote(cam.family == om_family ? om_system(cam.order, main)
                                                     : olympus_new(cam.order, main));
        }
        case olympus_old_family: {
            ifd_t dir;
            dir.add(shorts(0x100B, {0}));
            dir.add(rationals(0x100C, {{1850, 1}}));
            dir.add(shorts(0x100F, {0}));
            dir.add(shorts(0x1015, {1, 0}));
            dir.add(shorts(0x1029, {1}));
            return makernote(olympus_old(dir));
        }
        case pentax_family: {
            ifd_t dir;
            dir.add(shorts(0x000D, {16}));
            dir.add(shorts(0x0010, {uint16_t(40 + shot.focal_mm)}));
            dir.add(shorts(0x0019, {0}));
            dir.add(shorts(0x001A, {0}));
            return makernote(pentax5(cam.order, dir));
        }
        default:
            return makernote(makernote_t{bytes_t("CANON-MN", 8), std::nullopt, false, ifd_t{}});
    }
}

}  // namespace

int camera_count() {
    return (int)(sizeof s_cameras / sizeof s_cameras[0]);
}
const char* camera_make(int camera) {
    return s_cameras[camera].make;
}
const char* camera_model(int camera) {
    return s_cameras[camera].model;
}

bytes_t exif_tiff(const shot_t& shot, const bytes_t& thumb, int width, int height) {
    const camera_t& cam = s_cameras[shot.camera % camera_count()];
    ifd_t exif;
    exif.add(rationals(0x829A, {{1, shot.exposure_den}}));
    exif.add(rationals(0x829D, {{shot.fnumber_x10, 10}}));
    exif.add(shorts(0x8822, {3}));  // aperture priority
    exif.add(shorts(0x8827, {uint16_t(shot.iso)}));
    exif.add(bytes(0x9000, UNDEFINED, "0231"));
    exif.add(ascii(0x9003, shot.date));
    exif.add(ascii(0x9004, shot.date));
    int bias = shot.bias_thirds;
    unsigned g = gcd((unsigned)(bias < 0 ? -bias : bias), 3);
    exif.add(srationals(0x9204, {{bias / (int)(g ? g : 1), 3 / (int)(g ? g : 1)}}));
    exif.add(shorts(0x9207, {5}));  // pattern metering
    exif.add(shorts(0x9209, {uint16_t(shot.flash ? 0x19 : 0x10)}));
    exif.add(rationals(0x920A, {{shot.focal_mm, 1}}));
    exif.add(maker_note(cam, shot));
    exif.add(shorts(0xA001, {1}));
    exif.add(longs(0xA002, {uint32_t(width)}));
    exif.add(longs(0xA003, {uint32_t(height)}));
    exif.add(shorts(0xA403, {0}));
    exif.add(shorts(0xA405, {uint16_t(shot.focal35_mm)}));
    exif.add(shorts(0xA408, {0}));
    exif.add(shorts(0xA409, {0}));
    exif.add(shorts(0xA40A, {0}));
    if (*cam.lens) exif.add(ascii(0xA434, cam.lens));

    tiff_t tiff;
    tiff.order = cam.order;
    ifd_t& ifd0 = tiff.ifd0;
    ifd0.add(ascii(0x010F, cam.make));
    ifd0.add(ascii(0x0110, cam.model));
    ifd0.add(shorts(0x0112, {uint16_t(shot.orientation)}));
    ifd0.add(rationals(0x011A, {{300, 1}}));
    ifd0.add(rationals(0x011B, {{300, 1}}));
    ifd0.add(shorts(0x0128, {2}));
    ifd0.add(ascii(0x0131, "snapfolio sample generator"));
    ifd0.add(ascii(0x0132, shot.date));
    ifd0.add(shorts(0x0213, {2}));
    ifd0.add(subdirectory(0x8769, exif));
    if (!thumb.empty()) ifd0.next = std::make_shared<ifd_t>(thumbnail_ifd(thumb));
    return write_tiff(tiff);
}

}  // namespace samplegen
