// Offscreen OpenGL through EGL without any display server. The framebuffer object takes the
// place of both the front and the back buffer: selecting either of those with glDrawBuffer
// is refused while it is bound, so drawing always lands in its one colour attachment.
#define GL_GLEXT_PROTOTYPES
#include "app/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct OffscreenContext {
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    int width = 0;
    int height = 0;
};

OffscreenContext offscreen;

[[noreturn]] void offscreenFailure(const char* what) {
    std::fprintf(stderr, "quadray-render: no offscreen OpenGL context (%s)\n", what);
    std::exit(1);
}

EGLDisplay openSurfacelessDisplay() {
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) offscreenFailure("eglGetPlatformDisplayEXT is missing");
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) offscreenFailure("no surfaceless display");
    if (!eglInitialize(display, nullptr, nullptr)) offscreenFailure("eglInitialize failed");
    return display;
}

// A configuration when the platform offers one for desktop OpenGL; else none is needed,
// because the context never gets a surface.
EGLConfig chooseConfig(EGLDisplay display) {
    const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) return EGL_NO_CONFIG_KHR;
    return config;
}

void makeCompatibilityContextCurrent(EGLDisplay display) {
    if (!eglBindAPI(EGL_OPENGL_API)) offscreenFailure("desktop OpenGL is not supported");
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, chooseConfig(display), EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) offscreenFailure("eglCreateContext failed");
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        offscreenFailure("eglMakeCurrent failed");
    }
}

void createFramebuffer(int width, int height) {
    glGenRenderbuffers(1, &offscreen.colourBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, offscreen.colourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &offscreen.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreen.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, offscreen.colourBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        offscreenFailure("incomplete framebuffer");
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

void createOffscreenContext(int width, int height) {
    makeCompatibilityContextCurrent(openSurfacelessDisplay());
    offscreen.width = width;
    offscreen.height = height;
    createFramebuffer(width, height);
}

RgbImage readOffscreenImage() {
    RgbImage image = makeImage(offscreen.width, offscreen.height);
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, offscreen.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, offscreen.width, offscreen.height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
    return image;
}
