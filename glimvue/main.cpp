// The image viewer's program. Until the viewer itself is built, it says so
// and fails, so that the album program's viewer buttons report clearly
// instead of starting nothing.
#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    std::fprintf(stderr, "%s: the image viewer is not part of this build yet.\n",
                 argv[0] ? argv[0] : "glimvue3");
    return 1;
}
