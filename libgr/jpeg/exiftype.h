// EXIF value types and the records of decoded tags. A vector field is empty
// when its tag was absent or had an unexpected size; it holds one element as
// a rule, two for the pairs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace libgr {
namespace ExifType {

struct rational_t {
    uint32_t numerator = 0;
    uint32_t denominator = 0;
};

struct srational_t {
    int32_t numerator = 0;
    int32_t denominator = 0;
};

// TIFF field types.
enum e_type_t : uint16_t {
    type_BYTE = 1,
    type_ASCII = 2,
    type_SHORT = 3,
    type_LONG = 4,
    type_RATIONAL = 5,
    type_SBYTE = 6,
    type_UNDEFINED = 7,
    type_SSHORT = 8,
    type_SLONG = 9,
    type_SRATIONAL = 10,
    type_FLOAT = 11,
    type_DOUBLE = 12,
    type_IFD = 13,
};

// Byte size of one value of each type, index 0-13. Types 6, 11 and 12 count
// as size 0; a type above 13 has no size and is not valid.
constexpr unsigned exiftype_count = 14;
extern const unsigned exiftypesize[exiftype_count];

struct tag_0th_ifd {
    std::string ImageDescription;
    std::string Make;
    std::string Model;
    std::vector<uint16_t> Orientation;
    std::vector<rational_t> XResolution;
    std::vector<rational_t> YResolution;
    std::vector<uint16_t> ResolutionUnit;
    std::string Software;
    std::string DateTime;
    std::vector<uint16_t> YCbCrPositioning;
    std::vector<uint32_t> ExifIFDPointer;
    std::vector<uint32_t> GPSInfoIFDPointer;

    void clear();
};

struct tag_exif_ifd {
    std::vector<rational_t> ExposureTime;
    std::vector<rational_t> FNumber;
    std::vector<uint16_t> ExposureProgram;
    std::vector<uint16_t> ISOSpeedRatings;
    std::vector<uint32_t> StandardOutputSensitivity;
    std::vector<uint32_t> ISOSpeed;
    std::string DateTimeOriginal;
    std::string DateTimeDigitized;
    std::vector<rational_t> ApertureValue;
    std::vector<srational_t> ExposureBiasValue;
    std::vector<rational_t> MaxApertureValue;
    std::vector<uint16_t> MeteringMode;
    std::vector<uint16_t> Flash;
    std::vector<rational_t> FocalLength;
    std::vector<uint16_t> ColorSpace;
    std::vector<uint16_t> WhiteBalance;
    std::vector<uint16_t> FocalLengthIn35mmFilm;
    std::vector<uint16_t> Contrast;
    std::vector<uint16_t> Saturation;
    std::vector<uint16_t> Sharpness;
    std::string LensModel;

    void clear();
};

// Only the window of the GPS directory is kept; no tag is decoded.
struct tag_gps_ifd {
    void clear() {}
};

struct tag_1st_ifd {
    std::vector<uint32_t> JPEGInterchangeFormat;
    std::vector<uint32_t> JPEGInterchangeFormatLength;

    void clear();
};

// The older OLYMPUS maker note ("OLYMP", NUL).
struct tag_olympus_ifd {
    std::vector<uint16_t> FocusMode;
    std::vector<rational_t> FocusDistance;
    std::vector<uint16_t> SharpnessFactor;
    std::vector<uint16_t> WhiteBalanceMode;  // two values
    std::vector<uint16_t> ContrastSetting;

    void clear();
};

// The sub-directories of OLYMPUS ("OLYMPUS", NUL, byte order) and OM Digital
// Solutions ("OM SYSTEM") maker notes.
struct tag_olympus3_equipment_ifd {
    std::string LensModel;  // exactly the value's bytes

    void clear();
};

struct tag_olympus3_camerasettings_ifd {
    std::vector<uint16_t> FocusMode;     // one or two values
    std::vector<uint16_t> FocusProcess;  // one or two values
    std::vector<uint16_t> WhiteBalance2;
    std::vector<uint16_t> WhiteBalanceTemperature;
    std::vector<uint32_t> StackedImage;  // two values

    void clear();
};

struct tag_olympus3_focusinfo_ifd {
    std::vector<uint16_t> AutoFocus;
    std::vector<uint16_t> ZoomStepCount;
    std::vector<uint16_t> FocusStepCount;
    std::vector<uint16_t> FocusStepInfinity;
    std::vector<uint16_t> FocusStepNear;
    std::vector<uint32_t> FocusDistance;  // two values
    std::vector<uint16_t> AFPoint;
    std::vector<uint16_t> AFPointDetails;

    void clear();
};

// RICOH/PENTAX maker note ("PENTAX ", NUL).
struct tag_pentax5_ifd {
    std::vector<uint16_t> FocusMode;
    std::vector<uint16_t> FocusPosition;
    std::vector<uint16_t> WhiteBalance;
    std::vector<uint16_t> WhiteBalanceMode;

    void clear();
};

}  // namespace ExifType
}  // namespace libgr
