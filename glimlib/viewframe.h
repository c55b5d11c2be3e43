// The photo frame: a flat band of a given width (in picture pixels) around
// the picture's rectangle, drawn in the picture's own transformation so that
// it turns and zooms with it. Types (option frametype): 0 none, 1 a plain
// band in framecolor, 2 a bump-mapped brown moulding, 3 the moulding in
// framecolor, 4 a flower band.
//
// The pictures and GPU programs the frame needs are shared by all frames and
// read from "hairline.bmp", "flower.bmp", "bumpmapv.vp1" and "bumpmapf.fp1",
// each looked for in the current folder, then the program's folder, then
// /usr/site/share/glimlib/. A missing picture leaves its texture empty (the
// band is drawn untextured); a missing or rejected program ("<path>: read
// error." or "<name>: <position>: <GL's text>" on the standard error
// stream) makes the moulding fall back to texture combiners, or failing them
// to a plain lit texture.
#pragma once

#include <cstdint>
#include <string>

#include "libgr/gl/nodes.h"
#include "libgr/image/vecmath.h"

namespace glimlib {

enum e_frametype_t : int32_t {
    FRAMETYPE_NONE,
    FRAMETYPE_COLOR,
    FRAMETYPE_BUMP_BROWN,
    FRAMETYPE_BUMP_COLOR,
    FRAMETYPE_FLOWER,
};

class ViewFrame : public libgr::grObject3D {
  public:
    // Loads the shared pictures once (GL context current); destroy() drops
    // them again.
    static void init(const std::string& data_dir);
    static void destroy();

    // Types outside 0..4 draw nothing.
    void setFrameType(int32_t type);
    e_frametype_t getFrameType() const { return m_type; }
    void setSize(const libgr::direction2l_t& size, uint32_t width);

    // Creates or releases the GL objects the frame type needs.
    void make_graph(const std::string& data_dir);
    void free_graph();

    // The ring's eight corners: outer then inner, counter-clockwise from the
    // bottom left (vertex 2i outer, 2i + 1 inner).
    void corners(float xy[8][2]) const;

    ~ViewFrame() override = default;
    using grObject3D::Draw;
    void Draw() const override;

  private:
    e_frametype_t m_type = FRAMETYPE_NONE;
    libgr::direction2l_t m_size;
    uint32_t m_width = 0;
};

// The first of name, data_dir + name and "/usr/site/share/glimlib/" + name
// that opens for reading; empty when none does.
std::string find_data_file(const std::string& name, const std::string& data_dir);

}  // namespace glimlib
