#include "glimvue/glextload.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <iostream>

#include "libgr/gl/glsupport.h"
#include "libutils/error.h"

namespace glimvue2 {

namespace {

using libgr::g_glsupport;

// The system GL library, opened once for the life of the process.
void* gl_library() {
    static void* handle = [] {
        void* h = dlopen("libGL.so.1", RTLD_LAZY | RTLD_LOCAL);
        if (!h) h = dlopen("libGL.so", RTLD_LAZY | RTLD_LOCAL);
        return h;
    }();
    return handle;
}

template <class F>
void resolve(F& slot, const char* name, bool available) {
    slot = nullptr;
    if (!available || !gl_library()) return;
    slot = reinterpret_cast<F>(dlsym(gl_library(), name));
}

struct flag_row_t {
    const char* name;
    bool libgr::gl_support_t::*flag;
};

const flag_row_t s_flags[] = {
    {"GL_ARB_texture_compression", &libgr::gl_support_t::ARB_texture_compression},
    {"GL_SGIS_generate_mipmap", &libgr::gl_support_t::SGIS_generate_mipmap},
    {"GL_EXT_bgra", &libgr::gl_support_t::EXT_bgra},
    {"GL_ARB_vertex_program", &libgr::gl_support_t::ARB_vertex_program},
    {"GL_ARB_fragment_program", &libgr::gl_support_t::ARB_fragment_program},
    {"GL_ARB_texture_env_combine", &libgr::gl_support_t::ARB_texture_env_combine},
    {"GL_ARB_texture_env_dot3", &libgr::gl_support_t::ARB_texture_env_dot3},
    {"GL_ARB_texture_cube_map", &libgr::gl_support_t::ARB_texture_cube_map},
    {"GL_ARB_multitexture", &libgr::gl_support_t::ARB_multitexture},
    {"GL_ARB_imaging", &libgr::gl_support_t::ARB_imaging},
    {"GL_EXT_texture_filter_anisotropic", &libgr::gl_support_t::EXT_texture_filter_anisotropic},
};

}  // namespace

bool has_extension(const std::string& list, const char* name) {
    size_t n = std::strlen(name);
    if (n == 0) return false;
    for (size_t at = list.find(name); at != std::string::npos; at = list.find(name, at + 1)) {
        bool starts = at == 0 || list[at - 1] == ' ';
        bool ends = at + n == list.size() || list[at + n] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

bool parse_gl_version(const char* text, int& major, int& minor) {
    if (!text) return false;
    // OpenGL ES strings begin "OpenGL ES "; the version follows.
    const char* p = std::strncmp(text, "OpenGL ES ", 10) == 0 ? text + 10 : text;
    int a = 0, b = 0;
    if (std::sscanf(p, "%d.%d", &a, &b) != 2 || a < 1) return false;
    major = a, minor = b;
    return true;
}

bool load_gl_extensions() {
    g_glsupport = libgr::gl_support_t();
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!parse_gl_version(version, g_glsupport.major, g_glsupport.minor))
        return libutils::fail(std::cerr, "load_gl_extensions()", ": no OpenGL context.");
    const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string list = ext ? ext : "";
    for (const auto& row : s_flags) g_glsupport.*row.flag = has_extension(list, row.name);
    // Promoted to the core: the core version implies the extension.
    if (g_glsupport.version_at_least(1, 3)) {
        g_glsupport.ARB_texture_compression = g_glsupport.ARB_texture_cube_map =
            g_glsupport.ARB_multitexture = g_glsupport.ARB_texture_env_combine =
                g_glsupport.ARB_texture_env_dot3 = true;
    }
    if (g_glsupport.version_at_least(1, 2)) g_glsupport.EXT_bgra = true;

    auto& s = g_glsupport;
    resolve(s.GenerateMipmap, "glGenerateMipmap", s.version_at_least(3, 0));
    resolve(s.CompressedTexImage2DARB, "glCompressedTexImage2DARB", s.ARB_texture_compression);
    resolve(s.CompressedTexSubImage2DARB, "glCompressedTexSubImage2DARB",
            s.ARB_texture_compression);
    resolve(s.BindImageTexture, "glBindImageTexture", s.version_at_least(4, 2));
    resolve(s.TexStorage2D, "glTexStorage2D", s.version_at_least(4, 2));
    resolve(s.ActiveTextureARB, "glActiveTextureARB", s.ARB_multitexture);
    resolve(s.ClientActiveTextureARB, "glClientActiveTextureARB", s.ARB_multitexture);
    resolve(s.MultiTexCoord2fARB, "glMultiTexCoord2fARB", s.ARB_multitexture);
    resolve(s.MultiTexCoord3fARB, "glMultiTexCoord3fARB", s.ARB_multitexture);
    bool programs = s.ARB_vertex_program || s.ARB_fragment_program;
    resolve(s.GenProgramsARB, "glGenProgramsARB", programs);
    resolve(s.DeleteProgramsARB, "glDeleteProgramsARB", programs);
    resolve(s.BindProgramARB, "glBindProgramARB", programs);
    resolve(s.ProgramStringARB, "glProgramStringARB", programs);
    resolve(s.ProgramLocalParameter4fARB, "glProgramLocalParameter4fARB", programs);
    resolve(s.ProgramEnvParameter4fARB, "glProgramEnvParameter4fARB", programs);
    resolve(s.GetProgramivARB, "glGetProgramivARB", programs);
    return true;
}

}  // namespace glimvue2
