// glimvue3: shows pictures from files, directories and list files in an
// OpenGL window (see ViewWindow.h for the controller, bindings.cpp for the
// keys and buttons).
#include <GLFW/glfw3.h>

#include <clocale>
#include <iostream>

#include "glimvue/ViewWindow.h"
#include "glimlib/stagetime.h"
#include "glimvue/gems/glfwymgr4.h"
#include "libutils/error.h"

namespace {

void report_glfw_error(int code, const char* text) {
    libutils::report(std::cerr, "glfw", ": error ", code, ": ", text ? text : "");
}

}  // namespace

int main(int argc, char** argv) {
    glimlib::stage_time("start");
    std::setlocale(LC_ALL, "");
    // Options first: -h prints the listing and exits before any window.
    glimvue2::ViewWindow view(&argc, argv);
    glfwSetErrorCallback(report_glfw_error);
    if (!glfwInit()) {
        libutils::report(std::cerr, "glfwInit() failed.");
        return 1;
    }
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    {
        gems::glfwyMGR4 manager;
        manager.addWindow(&view, "glimvue3");
        manager.MainLoop();
        // The pictures' GL resources go while their context still exists.
        view.clear();
    }
    glfwTerminate();
    return 0;
}
