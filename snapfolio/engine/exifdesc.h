// The shooting data of a photograph in words, as the zoom and index pages
// show them: date, camera and lens, focal length, aperture, exposure,
// metering, compensation, program, focus (from the maker notes of OLYMPUS,
// OM Digital Solutions and RICOH/PENTAX cameras), sensitivity, flash, white
// balance, picture settings, colour space and live-composite frames.
//
// Every line begins with a tab and, on pages that ask for it, "<br>". The
// camera's strings (date, make, model, lens) are written as page text, with
// "&", "<", ">" and '"' as character references.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "libgr/jpeg/exif.h"
#include "snapfolio/engine/album.h"

namespace snapfolio {

// One row of a value -> text table. A table ends with the row whose value is
// desc_end; its text is the answer for every value not listed.
struct desc_t {
    uint64_t value;
    const char* text;
};
constexpr uint64_t desc_end = 0xFFFFFFFFFFFFFFFFull;

// Small-index tables.
extern const char* meteringmode[8];  // 2 and 3 come from the catalogue (initexif)
extern const char expprogs[];        // "NMPASCapl": one character per program
extern const char* const focusmode[2];
extern const char* const whitebalance_code[3];
extern const char* const whitebalance_preset[9];
extern const char* const sharpness[3];  // older OLYMPUS maker note
extern const char* const olympus_contrast[3];
extern const char* const whitebal[3];
extern const char* const processrange[3];
extern const char* const saturation[4];
extern const char* const contrast[3];

// Value -> text tables.
extern const desc_t olym3focusmode0[];
extern const desc_t olym3focusmode1[];  // bit masks
extern const desc_t pex5focusmode[];
extern const desc_t olym3whitebal[];
extern const desc_t colorspace[];

// The text of the first row whose value equals `value`, else the default.
const char* search_desc(const desc_t* table, uint64_t value);
// The texts of every row whose mask shares a bit with `value`, joined by
// "/"; nothing when none does.
void search_desc_bit(std::ostream& out, const desc_t* table, uint64_t value);

// Euclid's algorithm; gcd(a, 0) = a.
uint32_t gcd(uint32_t a, uint32_t b);

// What a camera's maker changes in the description. The class is chosen by
// the EXIF Make, compared without regard to case over the length of the
// name: "OM Digital", "OLYMPUS", "Sony", "RICOH", "Nikon", "Canon"; anything
// else is "other". Only OM, OLYMPUS and RICOH write anything of their own.
enum e_maker_t {
    maker_other,
    maker_om,
    maker_olympus,
    maker_sony,
    maker_ricoh,
    maker_nikon,
    maker_canon
};

class maker_t {
  public:
    virtual ~maker_t() = default;
    virtual e_maker_t kind() const { return maker_other; }
    // ", " and the focus mode of the maker note; nothing by default.
    virtual void write_focus(std::ostream& out, const libgr::tiff_header_t& t) const;
    // The start of the settings line: white balance, sharpness, saturation,
    // contrast (the standard EXIF fields by default).
    virtual void write_settings(std::ostream& out, const libgr::tiff_header_t& t) const;
    // A further line after the settings line, begun with an end of line and
    // `lead`; nothing by default.
    virtual void write_extra(std::ostream& out, const libgr::tiff_header_t& t,
                             const char* lead) const;
};

e_maker_t maker_class(const std::string& make);
const maker_t& maker_of(e_maker_t kind);

// Puts catalogue messages 36 and 37 into meteringmode[2] and [3]. Called once
// at start, after the catalogue is loaded.
void initexif();

// Loads `file`, finds its first APP1 segment and parses it as EXIF into app1.
// False when any step fails (the scanner and the parser report their own
// failures on standard error; a file without APP1 fails silently).
bool readexif(libgr::app1_marker_t& app1, const std::string& file);

// Describes parsed EXIF data. Leaves the stream in fixed notation once an
// F-number was written (later floating-point output on it changes).
void writeexif(std::ostream& out, const libgr::tiff_header_t& t, bool br);

// Describes the picture path.make(dir, name); false, writing nothing, when
// its EXIF data cannot be read.
bool writeexif(std::ostream& out, const path_t& path, const std::string& dir,
               const std::string& name, bool br);

}  // namespace snapfolio
