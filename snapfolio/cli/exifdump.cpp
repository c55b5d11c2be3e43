#include "snapfolio/cli/exifdump.h"

#include <string>
#include <vector>

#include "libutils/text.h"

namespace snapfolio {

using namespace libgr::ExifType;

namespace {

// One group of fields: every line starts with the group's name.
class group_t {
    std::ostream& m_out;
    const char* m_group;

    std::ostream& name(const char* field) {
        return m_out << "  " << m_group << '.' << field << ": ";
    }

  public:
    group_t(std::ostream& out, const char* group) : m_out(out), m_group(group) {}

    void text(const char* field, std::string value) {
        libutils::chop2(value);
        if (!value.empty()) name(field) << value << '\n';
    }
    template <class T>
    void numbers(const char* field, const std::vector<T>& v) {
        if (v.empty()) return;
        std::ostream& out = name(field);
        for (size_t i = 0; i < v.size(); ++i) out << (i ? " " : "") << +v[i];
        out << '\n';
    }
    template <class R>
    void rationals(const char* field, const std::vector<R>& v) {
        if (v.empty()) return;
        std::ostream& out = name(field);
        for (size_t i = 0; i < v.size(); ++i)
            out << (i ? " " : "") << v[i].numerator << '/' << v[i].denominator;
        out << '\n';
    }
};

void dump_0th(std::ostream& out, const tag_0th_ifd& t) {
    group_t g(out, "IFD0");
    g.text("ImageDescription", t.ImageDescription);
    g.text("Make", t.Make);
    g.text("Model", t.Model);
    g.numbers("Orientation", t.Orientation);
    g.rationals("XResolution", t.XResolution);
    g.rationals("YResolution", t.YResolution);
    g.numbers("ResolutionUnit", t.ResolutionUnit);
    g.text("Software", t.Software);
    g.text("DateTime", t.DateTime);
    g.numbers("YCbCrPositioning", t.YCbCrPositioning);
    g.numbers("ExifIFDPointer", t.ExifIFDPointer);
    g.numbers("GPSInfoIFDPointer", t.GPSInfoIFDPointer);
}

void dump_exif_ifd(std::ostream& out, const tag_exif_ifd& t) {
    group_t g(out, "Exif");
    g.rationals("ExposureTime", t.ExposureTime);
    g.rationals("FNumber", t.FNumber);
    g.numbers("ExposureProgram", t.ExposureProgram);
    g.numbers("ISOSpeedRatings", t.ISOSpeedRatings);
    g.numbers("StandardOutputSensitivity", t.StandardOutputSensitivity);
    g.numbers("ISOSpeed", t.ISOSpeed);
    g.text("DateTimeOriginal", t.DateTimeOriginal);
    g.text("DateTimeDigitized", t.DateTimeDigitized);
    g.rationals("ApertureValue", t.ApertureValue);
    g.rationals("ExposureBiasValue", t.ExposureBiasValue);
    g.rationals("MaxApertureValue", t.MaxApertureValue);
    g.numbers("MeteringMode", t.MeteringMode);
    g.numbers("Flash", t.Flash);
    g.rationals("FocalLength", t.FocalLength);
    g.numbers("ColorSpace", t.ColorSpace);
    g.numbers("WhiteBalance", t.WhiteBalance);
    g.numbers("FocalLengthIn35mmFilm", t.FocalLengthIn35mmFilm);
    g.numbers("Contrast", t.Contrast);
    g.numbers("Saturation", t.Saturation);
    g.numbers("Sharpness", t.Sharpness);
    g.text("LensModel", t.LensModel);
}

void dump_makernotes(std::ostream& out, const libgr::tiff_header_t& t) {
    group_t olympus(out, "Olympus");
    olympus.numbers("FocusMode", t.tag_olympus.FocusMode);
    olympus.rationals("FocusDistance", t.tag_olympus.FocusDistance);
    olympus.numbers("SharpnessFactor", t.tag_olympus.SharpnessFactor);
    olympus.numbers("WhiteBalanceMode", t.tag_olympus.WhiteBalanceMode);
    olympus.numbers("ContrastSetting", t.tag_olympus.ContrastSetting);

    group_t equipment(out, "Equipment");
    equipment.text("LensModel", t.tag_olympus3_equipment.LensModel);

    const tag_olympus3_camerasettings_ifd& cs = t.tag_olympus3_camerasettings;
    group_t settings(out, "CameraSettings");
    settings.numbers("FocusMode", cs.FocusMode);
    settings.numbers("FocusProcess", cs.FocusProcess);
    settings.numbers("WhiteBalance2", cs.WhiteBalance2);
    settings.numbers("WhiteBalanceTemperature", cs.WhiteBalanceTemperature);
    settings.numbers("StackedImage", cs.StackedImage);

    const tag_olympus3_focusinfo_ifd& fi = t.tag_olympus3_focusinfo;
    group_t focus(out, "FocusInfo");
    focus.numbers("AutoFocus", fi.AutoFocus);
    focus.numbers("ZoomStepCount", fi.ZoomStepCount);
    focus.numbers("FocusStepCount", fi.FocusStepCount);
    focus.numbers("FocusStepInfinity", fi.FocusStepInfinity);
    focus.numbers("FocusStepNear", fi.FocusStepNear);
    focus.numbers("FocusDistance", fi.FocusDistance);
    focus.numbers("AFPoint", fi.AFPoint);
    focus.numbers("AFPointDetails", fi.AFPointDetails);

    group_t pentax(out, "Pentax");
    pentax.numbers("FocusMode", t.tag_pentax5.FocusMode);
    pentax.numbers("FocusPosition", t.tag_pentax5.FocusPosition);
    pentax.numbers("WhiteBalance", t.tag_pentax5.WhiteBalance);
    pentax.numbers("WhiteBalanceMode", t.tag_pentax5.WhiteBalanceMode);
}

}  // namespace

void dump_exif(std::ostream& out, const libgr::tiff_header_t& t) {
    out << "  TIFF.ByteOrder: "
        << (t.is_intel()      ? "II (little-endian)"
            : t.is_motorola() ? "MM (big-endian)"
                              : "?")
        << '\n';
    dump_0th(out, t.tag_0th);
    dump_exif_ifd(out, t.tag_exif);
    group_t ifd1(out, "IFD1");
    ifd1.numbers("JPEGInterchangeFormat", t.tag_1st.JPEGInterchangeFormat);
    ifd1.numbers("JPEGInterchangeFormatLength", t.tag_1st.JPEGInterchangeFormatLength);
    if (!t.makernote_buffer.empty())
        out << "  MakerNote: " << t.makernote_buffer.size() << " bytes\n";
    dump_makernotes(out, t);
}

}  // namespace snapfolio
