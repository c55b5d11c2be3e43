// What the current OpenGL implementation offers, as the GL layer and the
// viewer read it: the core version, one "supported" flag per extension that
// the drawing code tests, and the entry points beyond OpenGL 1.1 that it
// calls. Everything is false or null until the viewer's extension loader has
// filled it in, once, with a context current; code that finds a flag off or
// an entry point null takes its fallback path.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace libgr {

struct gl_support_t {
    int major = 0, minor = 0;  // core version, from GL_VERSION

    bool ARB_texture_compression = false;
    bool SGIS_generate_mipmap = false;
    bool EXT_bgra = false;
    bool ARB_vertex_program = false;
    bool ARB_fragment_program = false;
    bool ARB_texture_env_combine = false;
    bool ARB_texture_env_dot3 = false;
    bool ARB_texture_cube_map = false;
    bool ARB_multitexture = false;
    bool ARB_imaging = false;
    bool EXT_texture_filter_anisotropic = false;

    // Entry points (null when the implementation lacks them).
    PFNGLGENERATEMIPMAPPROC GenerateMipmap = nullptr;
    PFNGLCOMPRESSEDTEXIMAGE2DARBPROC CompressedTexImage2DARB = nullptr;
    PFNGLCOMPRESSEDTEXSUBIMAGE2DARBPROC CompressedTexSubImage2DARB = nullptr;
    PFNGLBINDIMAGETEXTUREPROC BindImageTexture = nullptr;
    PFNGLTEXSTORAGE2DPROC TexStorage2D = nullptr;
    PFNGLACTIVETEXTUREARBPROC ActiveTextureARB = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTextureARB = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC MultiTexCoord2fARB = nullptr;
    PFNGLMULTITEXCOORD3FARBPROC MultiTexCoord3fARB = nullptr;
    PFNGLGENPROGRAMSARBPROC GenProgramsARB = nullptr;
    PFNGLDELETEPROGRAMSARBPROC DeleteProgramsARB = nullptr;
    PFNGLBINDPROGRAMARBPROC BindProgramARB = nullptr;
    PFNGLPROGRAMSTRINGARBPROC ProgramStringARB = nullptr;
    PFNGLPROGRAMLOCALPARAMETER4FARBPROC ProgramLocalParameter4fARB = nullptr;
    PFNGLPROGRAMENVPARAMETER4FARBPROC ProgramEnvParameter4fARB = nullptr;
    PFNGLGETPROGRAMIVARBPROC GetProgramivARB = nullptr;

    bool version_at_least(int maj, int min) const {
        return major > maj || (major == maj && minor >= min);
    }
};

// Process-wide; written only by the extension loader.
extern gl_support_t g_glsupport;

}  // namespace libgr
