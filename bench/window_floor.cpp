// The floor for start-up: the least a program can do to show a window like the game's. SDL2 opens a window of the
// given size (default 1024 x 768) with the same OpenGL context as the game's (2.1 compatibility, double buffered,
// 8-bit channels, 24-bit depth), clears it to dark grey, presents it and then only keeps it alive. bench_startup
// starts it beside the game and measures both the same way; it needs nothing else.
//
//   bench_window_floor [WIDTH HEIGHT [SECONDS]]
//
// It runs until it is killed or SECONDS (default 30) have passed.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdlib>

int main(int argc, char** argv) {
    int width = 1024, height = 768;
    double seconds = 30;
    if (argc >= 3) {
        width = std::atoi(argv[1]);
        height = std::atoi(argv[2]);
    }
    if (argc >= 4) seconds = std::atof(argv[3]);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) return 1;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return 1;
    const Uint64 start = SDL_GetPerformanceCounter();
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    bool quit = false;
    while (!quit && (SDL_GetPerformanceCounter() - start) / frequency < seconds) {
        glClearColor(0.25f, 0.25f, 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT) quit = true;
        SDL_Delay(16);
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
