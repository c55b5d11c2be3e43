#include "glimlib/viewframe.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>

#include "glimlib/option.h"
#include "libgr/gl/glsupport.h"
#include "libgr/gl/grerror.h"
#include "libgr/gl/texture.h"
#include "libgr/image/imageops.h"
#include "libgr/image/normalmap.h"
#include "libgr/imagefile/bmpimage.h"
#include "libutils/error.h"

namespace glimlib {

using libgr::g_glsupport;

namespace {

// Shared by every frame.
libgr::grTexture2D s_monotex;        // hairline.bmp, as colour
libgr::grTexture2D s_flowertex;      // flower.bmp
libgr::grTexture2D s_hairlinetex;    // hairline.bmp as a normal map
libgr::grTextureCubeMap s_normaltex; // normalisation cube map
libgr::grTextureObject s_monotexobj, s_flowertexobj, s_hairlinetexobj, s_normaltexobj;
GLuint s_vertex_program = 0, s_fragment_program = 0;
bool s_vertex_program_loaded = false, s_fragment_program_loaded = false;
bool s_inited = false;

const libgr::texparameter2d_t s_textureparameter =
    libgr::texparameter2d(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP, GL_CLAMP, 1.0f);
const libgr::texparameter2d_t s_textureparameter_heightmap = libgr::texparameter2d(
    GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1.0f);
const libgr::texparametercubemap_t s_textureparameter_normalmap = libgr::texparametercubemap(
    GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1.0f);
const libgr::color3aub_t s_bordercolor = {0, 0, 0, 0};

const float s_brown[4] = {0.375f, 0.25f, 0.0f, 1.0f};
const GLfloat s_black[4] = {0, 0, 0, 1};
const GLfloat s_white[4] = {1, 1, 1, 1};
const GLubyte s_indices[10] = {1, 0, 3, 2, 5, 4, 7, 6, 1, 0};
// The texture's outer quarter on each side maps onto the band.
const GLfloat s_texcoords[8][2] = {{0, 0},    {0.25f, 0.25f}, {1, 0},    {0.75f, 0.25f},
                                   {1, 1},    {0.75f, 0.75f}, {0, 1},    {0.25f, 0.75f}};

bool moulding(e_frametype_t t) { return t == FRAMETYPE_BUMP_BROWN || t == FRAMETYPE_BUMP_COLOR; }

bool have_programs() {
    return g_glsupport.ARB_vertex_program && g_glsupport.ARB_fragment_program &&
           g_glsupport.GenProgramsARB && g_glsupport.BindProgramARB &&
           g_glsupport.ProgramStringARB && g_glsupport.ProgramLocalParameter4fARB &&
           g_glsupport.DeleteProgramsARB;
}

bool have_combiners() {
    return g_glsupport.ARB_texture_env_combine && g_glsupport.ARB_texture_env_dot3 &&
           g_glsupport.ARB_texture_cube_map && g_glsupport.ARB_multitexture &&
           g_glsupport.ActiveTextureARB;
}

bool programs_loaded() { return s_vertex_program_loaded && s_fragment_program_loaded; }

bool read_bmp(libgr::image2d_t& image, const std::string& name, const std::string& data_dir) {
    std::string path = find_data_file(name, data_dir);
    libgr::bmpimage_t bmp;
    return !path.empty() && bmp.load(path.c_str()) && libgr::convert(image, bmp);
}

// Signed normals (-1..1 in signed bytes) as OpenGL's dot-3 combiner and our
// fragment program read them: unsigned bytes holding n * 0.5 + 0.5.
bool biased(libgr::image2d_t& image) {
    if (image.desc.type != libgr::IMAGE_TYPE_SINT) return true;
    libgr::image2d_t out;
    if (!libgr::copy(out, image)) return false;
    for (unsigned char* p = out.begin(); p != out.end(); ++p) *p = (unsigned char)(*p ^ 0x80);
    out.desc.type = libgr::IMAGE_TYPE_UINT;
    image = out;
    return true;
}

void prepare(libgr::grTextureSource& source, bool mipmap) {
    source.setInternalCompression(false);
    source.setBuildMipmap(mipmap);
    source.setBorder(false);
}

// The colour picture as a texture source: BGR as it is when OpenGL takes BGR.
void set_colour_texture(libgr::grTexture2D& tex, const libgr::image2d_t& picture) {
    libgr::image2d_t image = picture;
    if (!g_glsupport.EXT_bgra) libgr::bgr2rgb(image, picture);
    prepare(tex, true);
    tex.setImage(image, 0, 0);
    tex.setTextureParameter(&s_textureparameter);
    tex.setBorderColor(&s_bordercolor);
}

bool load_program(GLenum target, const char* name, const std::string& data_dir) {
    std::string path = find_data_file(name, data_dir);
    std::ifstream in(path, std::ios::binary);
    if (path.empty() || !in)
        return libutils::fail(std::cerr, path.empty() ? name : path, ": read error.");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (glGetError() != GL_NO_ERROR) {
    }
    g_glsupport.ProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()), text.data());
    if (glGetError() == GL_NO_ERROR) return true;
    GLint position = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    const GLubyte* message = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
    std::string why = message ? reinterpret_cast<const char*>(message) : "";
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
    return libutils::fail(std::cerr, name, ": ", position, ": ", why);
}

void preload(libgr::grTextureObject& object, const libgr::grTexture2D& source) {
    if (!source.images().empty()) object.Preload(&source);
}

// Rows of a column-ordered matrix (OpenGL's order) into program parameters.
void set_rows(GLenum target, GLuint first, const GLfloat m[16]) {
    for (GLuint r = 0; r < 4; ++r)
        g_glsupport.ProgramLocalParameter4fARB(target, first + r, m[r], m[4 + r], m[8 + r], m[12 + r]);
}

// The inverse of a 4x4 matrix by Gauss-Jordan elimination; the identity when
// it has none.
void invert(GLfloat out[16], const GLfloat in[16]) {
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = in[c * 4 + r];
            a[r][c + 4] = r == c;
        }
    for (int c = 0; c < 4; ++c) {
        int p = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::abs(a[r][c]) > std::abs(a[p][c])) p = r;
        if (a[p][c] == 0) {
            for (int i = 0; i < 16; ++i) out[i] = i % 5 == 0;
            return;
        }
        std::swap(a[p], a[c]);
        double d = a[c][c];
        for (int k = 0; k < 8; ++k) a[c][k] /= d;
        for (int r = 0; r < 4; ++r) {
            if (r == c) continue;
            double f = a[r][c];
            for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[c * 4 + r] = GLfloat(a[r][c + 4]);
}

void enable_programs() {
    GLfloat modelview[16], projection[16], inverse[16], light[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    invert(inverse, modelview);
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    light[3] = 1;
    if (g_option.debug)
        std::cout << "light: " << light[0] << ", " << light[1] << ", " << light[2] << std::endl;
    g_glsupport.BindProgramARB(GL_VERTEX_PROGRAM_ARB, s_vertex_program);
    g_glsupport.ProgramLocalParameter4fARB(GL_VERTEX_PROGRAM_ARB, 0, light[0], light[1], light[2], light[3]);
    set_rows(GL_VERTEX_PROGRAM_ARB, 1, modelview);
    set_rows(GL_VERTEX_PROGRAM_ARB, 5, inverse);
    set_rows(GL_VERTEX_PROGRAM_ARB, 9, projection);
    g_glsupport.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, s_fragment_program);
    g_glsupport.ProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 0, 10, 0, 0, 0);
    g_glsupport.ProgramLocalParameter4fARB(GL_FRAGMENT_PROGRAM_ARB, 1, 0, 0, 0, 0);
    glEnable(GL_VERTEX_PROGRAM_ARB);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    g_glsupport.ActiveTextureARB(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    s_hairlinetexobj.Load();
}

void set_material(const float colour[4], const GLfloat specular[4]) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, s_black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 100);
}

void enable_combiners(const float colour[4]) {
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    g_glsupport.ActiveTextureARB(GL_TEXTURE0);
    glEnable(GL_TEXTURE_CUBE_MAP);
    for (GLenum coord : {GL_S, GL_T, GL_R}) glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    s_normaltexobj.Load();
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, light);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 1.0f);
    g_glsupport.ActiveTextureARB(GL_TEXTURE1);
    if (g_glsupport.ClientActiveTextureARB) g_glsupport.ClientActiveTextureARB(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_DOT3_RGB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 1.0f);
    s_hairlinetexobj.Load();
    glEnable(GL_LIGHTING);
    set_material(colour, s_black);
}

void unbind_programs() {
    if (!programs_loaded()) return;
    g_glsupport.BindProgramARB(GL_VERTEX_PROGRAM_ARB, 0);
    g_glsupport.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
}

}  // namespace

std::string find_data_file(const std::string& name, const std::string& data_dir) {
    for (const std::string& path : {name, data_dir + name, "/usr/site/share/glimlib/" + name})
        if (std::ifstream(path, std::ios::binary)) return path;
    return std::string();
}

void ViewFrame::init(const std::string& data_dir) {
    if (s_inited) return;
    s_inited = true;
    libgr::image2d_t hairline, flower, normals;
    if (read_bmp(hairline, "hairline.bmp", data_dir)) {
        set_colour_texture(s_monotex, hairline);
        if (libgr::heightmap2normalmap(normals, hairline, 100.0f) && biased(normals)) {
            prepare(s_hairlinetex, true);
            s_hairlinetex.setImage(normals, 0, 0);
            s_hairlinetex.setTextureParameter(&s_textureparameter_heightmap);
        }
    }
    if (read_bmp(flower, "flower.bmp", data_dir)) set_colour_texture(s_flowertex, flower);
    libgr::image2d_t faces[6];
    bool cube = libgr::makenormalcubemap(faces);
    for (int f = 0; cube && f < 6; ++f) cube = biased(faces[f]);
    if (cube) {
        prepare(s_normaltex, false);
        s_normaltex.setImage(faces, 0, 0);
        s_normaltex.setTextureParameter(&s_textureparameter_normalmap);
    }
}

void ViewFrame::destroy() {
    s_monotex.clear();
    s_flowertex.clear();
    s_hairlinetex.clear();
    s_normaltex.clear();
    s_inited = false;
}

void ViewFrame::setFrameType(int32_t type) {
    e_frametype_t t = (type >= FRAMETYPE_NONE && type <= FRAMETYPE_FLOWER) ? e_frametype_t(type)
                                                                           : FRAMETYPE_NONE;
    if (t == m_type) return;
    if (g_option.debug) std::cout << "frametype: " << t << std::endl;
    m_type = t;
}

void ViewFrame::setSize(const libgr::direction2l_t& size, uint32_t width) {
    m_size = size;
    m_width = width;
}

void ViewFrame::corners(float v[8][2]) const {
    float hx = float(m_size.x) / 2, hy = float(m_size.y) / 2, w = float(m_width);
    const float sx[4] = {-1, 1, 1, -1}, sy[4] = {-1, -1, 1, 1};
    for (int i = 0; i < 4; ++i) {
        v[2 * i][0] = sx[i] * (hx + w), v[2 * i][1] = sy[i] * (hy + w);
        v[2 * i + 1][0] = sx[i] * hx, v[2 * i + 1][1] = sy[i] * hy;
    }
}

void ViewFrame::make_graph(const std::string& data_dir) {
    if (moulding(m_type)) {
        if (have_programs()) {
            preload(s_hairlinetexobj, s_hairlinetex);
            if (!s_vertex_program_loaded) {
                g_glsupport.GenProgramsARB(1, &s_vertex_program);
                g_glsupport.BindProgramARB(GL_VERTEX_PROGRAM_ARB, s_vertex_program);
                s_vertex_program_loaded = load_program(GL_VERTEX_PROGRAM_ARB, "bumpmapv.vp1", data_dir);
            }
            if (!s_fragment_program_loaded) {
                g_glsupport.GenProgramsARB(1, &s_fragment_program);
                g_glsupport.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, s_fragment_program);
                s_fragment_program_loaded =
                    load_program(GL_FRAGMENT_PROGRAM_ARB, "bumpmapf.fp1", data_dir);
                g_glsupport.BindProgramARB(GL_FRAGMENT_PROGRAM_ARB, 0);
            }
            if (programs_loaded()) return;
        }
        if (have_combiners()) {
            preload(s_hairlinetexobj, s_hairlinetex);
            if (!s_normaltexobj.isPreload()) s_normaltexobj.Preload(&s_normaltex);
        } else {
            preload(s_monotexobj, s_monotex);
        }
    } else if (m_type == FRAMETYPE_FLOWER) {
        preload(s_flowertexobj, s_flowertex);
    }
}

void ViewFrame::free_graph() {
    if (moulding(m_type)) {
        for (libgr::grTextureObject* o : {&s_hairlinetexobj, &s_normaltexobj, &s_monotexobj}) o->clear();
        for (GLuint* p : {&s_vertex_program, &s_fragment_program}) {
            if (*p && g_glsupport.DeleteProgramsARB) g_glsupport.DeleteProgramsARB(1, p);
            *p = 0;
        }
        s_vertex_program_loaded = s_fragment_program_loaded = false;
    } else if (m_type == FRAMETYPE_FLOWER) {
        s_flowertexobj.clear();
    }
}

void ViewFrame::Draw() const {
    if (m_type == FRAMETYPE_NONE) return;
    // Everything a type enables is given back as it was found.
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    const libgr::color3aub_t& fc = g_option.framecolor;
    if (m_type == FRAMETYPE_COLOR) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glColor4ub(fc.r, fc.g, fc.b, fc.a);
    } else if (moulding(m_type)) {
        float c[4] = {s_brown[0], s_brown[1], s_brown[2], s_brown[3]};
        if (m_type == FRAMETYPE_BUMP_COLOR) {
            const unsigned char b[4] = {fc.r, fc.g, fc.b, fc.a};
            for (int i = 0; i < 4; ++i) c[i] = float(b[i]) / 255.0f * 0.75f;
        }
        glColor4fv(c);
        if (programs_loaded()) {
            enable_programs();
        } else if (have_combiners() && s_normaltexobj.isPreload()) {
            enable_combiners(c);
        } else {
            glEnable(GL_TEXTURE_2D);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            glEnable(GL_LIGHTING);
            set_material(c, s_white);
            s_monotexobj.Load();
        }
        glEnable(GL_NORMALIZE);
    } else {
        // The flower band shows its picture as drawn: the scene's light,
        // attenuated over the thousand units to the picture, would leave a
        // lit band black.
        glColor4fv(s_white);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        if (g_glsupport.ARB_imaging) glBlendEquation(GL_FUNC_ADD);
        glEnable(g_glsupport.version_at_least(1, 2) ? GL_RESCALE_NORMAL : GL_NORMALIZE);
        glEnable(GL_TEXTURE_2D);
        s_flowertexobj.Load();
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    if (m_type != FRAMETYPE_COLOR) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, s_texcoords);
        glNormal3f(0, 0, 1);
        if (g_glsupport.MultiTexCoord3fARB) g_glsupport.MultiTexCoord3fARB(GL_TEXTURE1, 1, 0, 0);
    }
    float v[8][2];
    corners(v);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, v);
    libgr::grPrintError("ViewFrame::Draw() - before vertex array.");
    glDrawElements(GL_QUAD_STRIP, 10, GL_UNSIGNED_BYTE, s_indices);
    libgr::grPrintError("ViewFrame::Draw() - after vertex array.");
    if (moulding(m_type)) unbind_programs();
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace glimlib
