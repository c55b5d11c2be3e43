#include "snapfolio/engine/exifdesc.h"

#include <strings.h>

#include <cstring>
#include <iomanip>

#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "libgr/jpeg/jpegmarker.h"
#include "libutils/text.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/message.h"

namespace snapfolio {

using libgr::tiff_header_t;

// ---- tables ----

const char* meteringmode[8] = {"[Unk]", "[AVE]", "[AVG]", "[SPT]",
                               "[MUL]", "[ESP]", "[PAR]", "[OTH]"};
const char expprogs[] = "NMPASCapl";
const char* const focusmode[2] = {"AF", "MF"};
const char* const whitebalance_code[3] = {"Unknown", "Auto WB", "Preset "};
const char* const whitebalance_preset[9] = {"Unknown", "Unknown", "3000K", "3700K", "4000K",
                                            "4500K",   "5500K",   "6500K", "7500K"};
const char* const sharpness[3] = {"Normal", "Hard", "Soft"};
const char* const olympus_contrast[3] = {"High", "Normal", "Low"};
const char* const whitebal[3] = {"Auto WB", "Manual WB", "Unknown"};
const char* const processrange[3] = {"Normal", "Soft", "Hard"};
const char* const saturation[4] = {"Normal", "Low", "High", "Unknown"};
const char* const contrast[3] = {"Normal", "Low", "High"};

const desc_t olym3focusmode0[] = {
    {0, "Single AF"},      {1, "Sequential shooting AF"},
    {2, "Continuous AF"},  {3, "Multi AF"},
    {4, "Face Detect"},    {10, "MF"},
    {desc_end, "Unknown"},
};

const desc_t olym3focusmode1[] = {
    {1, "S-AF"},
    {4, "C-AF"},
    {16, "MF"},
    {32, "Face Detect"},
    {64, "Imager AF"},
    {128, "Live View Magnification Frame"},
    {256, "AF sensor"},
    {512, "Starry Sky AF"},
    {desc_end, "Unknown"},
};

const desc_t pex5focusmode[] = {
    {0, "Normal"},
    {1, "Macro"},
    {2, "Infinity"},
    {3, "Manual"},
    {4, "Super Macro"},
    {5, "Pan Focus"},
    {16, "AF-S (Focus-priority)"},
    {17, "AF-C (Focus-priority)"},
    {18, "AF-A (Focus-priority)"},
    {32, "Contrast-detect (Focus-priority)"},
    {33, "Tracking Contrast-detect (Focus-priority)"},
    {272, "AF-S (Release-priority)"},
    {273, "AF-C (Release-priority)"},
    {274, "AF-A (Release-priority)"},
    {288, "Contrast-detect (Release-priority)"},
    {desc_end, "Unknown"},
};

const desc_t olym3whitebal[] = {
    {0, "Auto WB"},
    {1, "Auto (Keep Warm Color Off)"},
    {16, "7500K"},
    {17, "6000K"},
    {18, "5300K"},
    {20, "3000K"},
    {21, "3600K"},
    {22, "Auto Setup"},
    {23, "5500K"},
    {33, "6600K"},
    {34, "4500K"},
    {35, "4000K"},
    {36, "White Fluorescent"},
    {48, "3600K"},
    {67, "Underwater"},
    {256, "One Touch WB 1"},
    {257, "One Touch WB 2"},
    {258, "One Touch WB 3"},
    {259, "One Touch WB 4"},
    {512, "Custom WB 1"},
    {513, "Custom WB 2"},
    {514, "Custom WB 3"},
    {515, "Custom WB 4"},
    {desc_end, "Unknown"},
};

const desc_t colorspace[] = {
    {1, "sRGB"},
    {65535, "Uncalibrated"},
    {desc_end, "Unknown"},
};

// ---- look-ups ----

const char* search_desc(const desc_t* table, uint64_t value) {
    for (;; ++table)
        if (table->value == value || table->value == desc_end) return table->text;
}

void search_desc_bit(std::ostream& out, const desc_t* table, uint64_t value) {
    const char* sep = "";
    for (; table->value != desc_end; ++table) {
        if ((table->value & value) == 0) continue;
        out << sep << table->text;
        sep = "/";
    }
}

uint32_t gcd(uint32_t a, uint32_t b) {
    while (b != 0) {
        uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

void initexif() {
    meteringmode[2] = getmsg(msg_metering_center);
    meteringmode[3] = getmsg(msg_metering_spot);
}

// ---- maker classes ----

namespace {

// A table entry for a small index, or `fallback` past the table's end.
template <size_t N>
const char* pick(const char* const (&table)[N], uint64_t v, const char* fallback) {
    return v < N ? table[v] : fallback;
}

// "(P=" step ")" of the OLYMPUS and OM focus lens position.
void write_focus_step(std::ostream& out, const tiff_header_t& t) {
    const auto& step = t.tag_olympus3_focusinfo.FocusStepCount;
    if (!step.empty()) out << "(P=" << step[0] << ")";
}

// Focus of OLYMPUS and OM Digital Solutions cameras: the CameraSettings mode
// (two values: bit masks in the second), else the FocusInfo AutoFocus flag,
// else the older maker note's mode and manual distance.
void write_olympus_focus(std::ostream& out, const tiff_header_t& t) {
    const auto& mode = t.tag_olympus3_camerasettings.FocusMode;
    const auto& autofocus = t.tag_olympus3_focusinfo.AutoFocus;
    const auto& older = t.tag_olympus;
    if (mode.size() == 2) {
        out << ", ";
        search_desc_bit(out, olym3focusmode1, mode[1]);
        write_focus_step(out, t);
    } else if (mode.size() == 1) {
        out << ", " << search_desc(olym3focusmode0, mode[0]);
        write_focus_step(out, t);
    } else if (!autofocus.empty()) {
        out << ", " << (autofocus[0] != 0 ? "AF" : "MF");
        write_focus_step(out, t);
    } else if (!older.FocusMode.empty()) {
        const uint16_t v = older.FocusMode[0];
        out << ", " << pick(focusmode, v, "U");
        if (v == 1 && !older.FocusDistance.empty()) {
            const auto& d = older.FocusDistance[0];
            if (d.denominator != 0) out << "(P=" << d.numerator / d.denominator << ")";
        }
    }
}

// Sharpness, saturation and contrast of the Exif IFD.
void write_exif_settings(std::ostream& out, const tiff_header_t& t) {
    const auto& e = t.tag_exif;
    if (!e.Sharpness.empty()) out << ", Shp " << pick(processrange, e.Sharpness[0], "Unknown");
    if (!e.Saturation.empty()) out << ", Sat " << pick(saturation, e.Saturation[0], "Unknown");
    if (!e.Contrast.empty()) out << ", Ctr " << pick(contrast, e.Contrast[0], "Unknown");
}

class maker_om_t : public maker_t {
  public:
    e_maker_t kind() const override { return maker_om; }
    void write_focus(std::ostream& out, const tiff_header_t& t) const override {
        write_olympus_focus(out, t);
    }
    // The maker note's white balance instead of the Exif one.
    void write_settings(std::ostream& out, const tiff_header_t& t) const override {
        const auto& wb = t.tag_olympus3_camerasettings.WhiteBalance2;
        if (!wb.empty()) out << search_desc(olym3whitebal, wb[0]);
        write_exif_settings(out, t);
    }
    // Live composite: the number of frames stacked.
    void write_extra(std::ostream& out, const tiff_header_t& t, const char* lead) const override {
        const auto& stacked = t.tag_olympus3_camerasettings.StackedImage;
        if (stacked.size() == 2 && stacked[0] == 1)
            out << '\n' << lead << "LiveComp " << stacked[1] << " frames";
    }
};

class maker_olympus_t : public maker_t {
  public:
    e_maker_t kind() const override { return maker_olympus; }
    void write_focus(std::ostream& out, const tiff_header_t& t) const override {
        write_olympus_focus(out, t);
    }
    // Only the older maker note's settings; the Exif ones are not shown.
    void write_settings(std::ostream& out, const tiff_header_t& t) const override {
        const auto& o = t.tag_olympus;
        if (o.WhiteBalanceMode.size() == 2) {
            const uint16_t v = o.WhiteBalanceMode[0], w = o.WhiteBalanceMode[1];
            if (v < 3) out << whitebalance_code[v];
            if (v == 2 && w < 9) out << whitebalance_preset[w];
        }
        if (!o.SharpnessFactor.empty())
            out << ", Shp " << pick(sharpness, o.SharpnessFactor[0], "Unknown");
        if (!o.ContrastSetting.empty())
            out << ", Ctr " << pick(olympus_contrast, o.ContrastSetting[0], "Unknown");
    }
};

class maker_ricoh_t : public maker_t {
  public:
    e_maker_t kind() const override { return maker_ricoh; }
    // The PENTAX maker note's focus mode and lens position.
    void write_focus(std::ostream& out, const tiff_header_t& t) const override {
        const auto& p = t.tag_pentax5;
        if (p.FocusMode.empty()) return;
        out << ", " << search_desc(pex5focusmode, p.FocusMode[0]);
        if (!p.FocusPosition.empty()) out << "(P=" << p.FocusPosition[0] << ")";
    }
};

// Makers named for completeness; they describe like any other camera.
template <e_maker_t K>
class maker_plain_t : public maker_t {
  public:
    e_maker_t kind() const override { return K; }
};

}  // namespace

void maker_t::write_focus(std::ostream&, const tiff_header_t&) const {}

void maker_t::write_settings(std::ostream& out, const tiff_header_t& t) const {
    const auto& wb = t.tag_exif.WhiteBalance;
    if (!wb.empty()) out << pick(whitebal, wb[0], "Unknown WB");
    write_exif_settings(out, t);
}

void maker_t::write_extra(std::ostream&, const tiff_header_t&, const char*) const {}

e_maker_t maker_class(const std::string& make) {
    static const struct {
        const char* name;
        e_maker_t kind;
    } names[] = {
        {"OM Digital", maker_om}, {"OLYMPUS", maker_olympus}, {"Sony", maker_sony},
        {"RICOH", maker_ricoh},   {"Nikon", maker_nikon},     {"Canon", maker_canon},
    };
    for (const auto& n : names)
        if (strncasecmp(make.c_str(), n.name, std::strlen(n.name)) == 0) return n.kind;
    return maker_other;
}

const maker_t& maker_of(e_maker_t kind) {
    static const maker_plain_t<maker_other> other;
    static const maker_om_t om;
    static const maker_olympus_t olympus;
    static const maker_plain_t<maker_sony> sony;
    static const maker_ricoh_t ricoh;
    static const maker_plain_t<maker_nikon> nikon;
    static const maker_plain_t<maker_canon> canon;
    switch (kind) {
        case maker_om:
            return om;
        case maker_olympus:
            return olympus;
        case maker_sony:
            return sony;
        case maker_ricoh:
            return ricoh;
        case maker_nikon:
            return nikon;
        case maker_canon:
            return canon;
        default:
            return other;
    }
}

// ---- the description ----

namespace {

std::string chopped(std::string s) {
    libutils::chop2(s);
    return s;
}

// The number of decimal digits of d (d > 0): floor(log10(d) + 1), counted
// exactly.
int digits_of(uint32_t d) {
    int n = 1;
    while (d >= 10) {
        d /= 10;
        ++n;
    }
    return n;
}

// Rationals with a zero denominator are left out: nothing is divided by zero.

void write_focal_length(std::ostream& out, const tiff_header_t& t) {
    const auto& f = t.tag_exif.FocalLength;
    if (f.empty() || f[0].denominator == 0) return;
    out << "f=";
    if (f[0].denominator != 1)
        out << double(f[0].numerator) / double(f[0].denominator);
    else
        out << f[0].numerator;
    out << "mm";
}

// Leaves the stream in fixed notation with precision 0: later numbers on the
// same stream, the exposure time first, are written that way.
void write_fnumber(std::ostream& out, const tiff_header_t& t) {
    const auto& f = t.tag_exif.FNumber;
    if (f.empty() || f[0].denominator == 0) return;
    out << ", f/" << std::fixed << std::setprecision(1)
        << double(f[0].numerator) / double(f[0].denominator) << std::setprecision(0);
}

void write_exposure_time(std::ostream& out, const tiff_header_t& t) {
    const auto& e = t.tag_exif.ExposureTime;
    if (e.empty() || e[0].denominator == 0) return;
    const uint32_t g = gcd(e[0].numerator, e[0].denominator);
    const uint32_t n = e[0].numerator / g, d = e[0].denominator / g;
    out << ", ";
    if (d == 1)
        out << n;
    else if (n == 1)
        out << "1/" << d;
    else
        out << std::setprecision(digits_of(d)) << double(n) / double(d);
    out << "sec";
}

void write_metering(std::ostream& out, const tiff_header_t& t) {
    const auto& m = t.tag_exif.MeteringMode;
    if (!m.empty()) out << ", " << meteringmode[m[0] < 8 ? m[0] : 0];
}

void write_bias(std::ostream& out, const tiff_header_t& t) {
    const auto& b = t.tag_exif.ExposureBiasValue;
    if (b.empty() || b[0].denominator == 0 || b[0].numerator == 0) return;
    // 64-bit so that the magnitude of INT32_MIN and its quotients fit.
    int64_t n = b[0].numerator, d = b[0].denominator;
    const uint32_t g = gcd(uint32_t(n < 0 ? -n : n), uint32_t(d < 0 ? -d : d));
    n /= g;
    d /= g;
    out << (n > 0 ? ", +" : ", ") << n;
    if (d != 1) out << "/" << d;
    out << " EV";
}

void write_program(std::ostream& out, const tiff_header_t& t) {
    const auto& p = t.tag_exif.ExposureProgram;
    if (!p.empty()) out << (p[0] <= 8 ? expprogs[p[0]] : 'U');
}

void write_iso(std::ostream& out, const tiff_header_t& t) {
    const auto& iso = t.tag_exif.ISOSpeedRatings;
    if (iso.empty()) return;
    // 65535 means "higher": the standard output sensitivity has the value.
    const auto& sos = t.tag_exif.StandardOutputSensitivity;
    out << ", iso";
    if (iso[0] == 65535 && !sos.empty())
        out << sos[0];
    else
        out << iso[0];
}

void write_flash(std::ostream& out, const tiff_header_t& t) {
    const auto& f = t.tag_exif.Flash;
    if (f.empty() || (f[0] & 1) == 0) return;
    const unsigned v = f[0];
    out << ", Flash";
    const unsigned ret = (v >> 1) & 3, mode = (v >> 3) & 3;
    if (ret == 3) out << ", Return Detected";
    if (ret == 2) out << ", Return Not Detected";
    if (mode == 1 || mode == 2) out << ", Compulsory";
    if (mode == 3) out << ", Auto";
    if (v & 0x20) out << ", No Flash Function";
    if (v & 0x40) out << ", Red-Eye Reduce";
}

}  // namespace

void writeexif(std::ostream& out, const tiff_header_t& t, bool br) {
    const char* lead = br ? "\t<br>" : "\t";
    const maker_t& maker = maker_of(maker_class(t.tag_0th.Make));

    // The camera's strings are text, whatever they hold.
    const std::string date = html_text(chopped(t.tag_exif.DateTimeOriginal));
    if (!date.empty()) out << '\t' << date << '\n';

    const std::string model = html_text(chopped(t.tag_0th.Model));
    if (!model.empty()) {
        out << (br && !date.empty() ? "\t<br>" : "\t") << html_text(chopped(t.tag_0th.Make))
            << ", " << model << '\n';
        const std::string lens = html_text(chopped(t.tag_exif.LensModel));
        if (!lens.empty()) out << lead << lens << '\n';
    }

    out << lead;
    write_focal_length(out, t);
    const auto& f35 = t.tag_exif.FocalLengthIn35mmFilm;
    if (!f35.empty()) out << "(" << f35[0] << "mm)";
    write_fnumber(out, t);
    write_exposure_time(out, t);
    write_metering(out, t);
    write_bias(out, t);
    out << '\n';

    out << lead;
    write_program(out, t);
    maker.write_focus(out, t);
    write_iso(out, t);
    write_flash(out, t);
    out << '\n';

    out << lead;
    maker.write_settings(out, t);
    out << ", ";
    const auto& cs = t.tag_exif.ColorSpace;
    if (!cs.empty()) out << search_desc(colorspace, cs[0]);
    maker.write_extra(out, t, lead);
    out << '\n';
}

bool readexif(libgr::app1_marker_t& app1, const std::string& file) {
    libgr::jpegdata2_t jpeg;
    if (!jpeg.load(file.c_str())) return false;
    // Only the segments are walked: the EXIF block does not depend on how
    // the picture is coded (progressive files included).
    libgr::jpeginfo2_t info;
    if (!info.analyze_segments(jpeg)) return false;
    libutils::bytevector payload = info.get_marker(libgr::marker_APP1);
    if (payload.empty()) return false;
    app1.clear();
    app1.set_app1_buffer(payload);
    return app1.parse();
}

bool writeexif(std::ostream& out, const path_t& path, const std::string& dir,
               const std::string& name, bool br) {
    std::string file;
    path.make(file, dir, name);
    libgr::app1_marker_t app1;
    if (!readexif(app1, file)) return false;
    writeexif(out, app1.tiff_header, br);
    return true;
}

}  // namespace snapfolio
