// The OpenGL the drawing primitives use: the common part of OpenGL 2.1, OpenGL ES 2.0 and WebGL 1 (shaders, vertex
// buffers, glGenerateMipmap), so the one renderer serves the desktop and the browser. Only gfx/draw.cpp and
// gfx/texture.cpp include it.
#pragma once

#if defined(__EMSCRIPTEN__)
#include <GLES2/gl2.h>
#define KOLBRIX_GL_ES 1
#else
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
#define KOLBRIX_GL_ES 0
#endif
