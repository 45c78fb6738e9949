#include "platform/window/sdl_window.h"

#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/programs/program_file.h"
#include "platform/screen/screen.h"
#include "platform/window/sdl_keys.h"
#include "platform/window/x11_display.h"

namespace terrafix {

namespace {

// Where the display's connection cannot be waited on (Wayland), how often a
// wait for input looks whether a signal has asked the editor to end.
constexpr int SignalCheckMilliseconds = 250;
// A display that is set but does not answer at once is tried once more after this.
constexpr auto SecondTryAfter = std::chrono::milliseconds(500);
// A drag on the picture window shorter than this turns nothing.
constexpr int ShortestTurningDrag = 20;
// What shows around the picture where it does not fill its window.
constexpr Uint32 PictureBackground = 0xFF202020;

int32_t ButtonMask(Uint32 sdlButtons) {
  int32_t mask = 0;
  if (sdlButtons & SDL_BUTTON_LMASK) mask |= 1;
  if (sdlButtons & SDL_BUTTON_RMASK) mask |= 2;
  if (sdlButtons & SDL_BUTTON_MMASK) mask |= 4;
  if (sdlButtons & SDL_BUTTON_X1MASK) mask |= 8;
  if (sdlButtons & SDL_BUTTON_X2MASK) mask |= 16;
  return mask;
}

// How many keys a text event queues.
int KeysOfText(const char* text) {
  int keys = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) keys += (*c & 0xC0) != 0x80;
  return keys;
}

class SdlWindow : public ScreenBackend {
 public:
  SdlWindow(SDL_Window* window, int width, int height, void* x11Display)
      : Window(window), Width(width), Height(height), X11Display(x11Display),
        Focused((SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0) {}
  // The window is torn down only by EndProcess and EndBySignal, once, in
  // order: never by a destructor that exit() runs.
  ~SdlWindow() override = default;

  bool HasFrame() const override { return true; }

  // The window system may give the window another size than the frame's
  // (a tiling window manager, say): what fits of the frame is shown, from its
  // top-left corner, and never more than the window's surface holds.
  void Present(const uint32_t* pixels) override {
    Shown = pixels;
    SDL_Surface* surface = SDL_GetWindowSurface(Window);
    if (!surface) return;
    const int width = std::min(Width, surface->w), height = std::min(Height, surface->h);
    if (width <= 0 || height <= 0) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_ARGB8888, pixels, Width * 4, surface->format->format,
                      surface->pixels, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(Window);
  }

  // Events are taken from the window system only while the key queue has
  // room for the keys they bring: the rest wait there, in order. The buttons,
  // moves and wheel of a window that is not the active one are dropped as
  // they come, never kept for when it is active again: the window follows
  // the focus as the events tell it, in their order.
  void GatherEvents(PointerState& pointer) override {
    bool exposed = false;
    bool buttonEvents = false;
    SDL_Event e;
    SDL_PumpEvents();
    while (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
      const int keys = e.type == SDL_TEXTINPUT ? KeysOfText(e.text.text)
                       : e.type == SDL_KEYDOWN ? (KeyQueueCode(e.key.keysym) != 0)
                                               : 0;
      // (A text longer than the whole queue is taken once the queue is empty.)
      if (keys > KeyQueueRoom() && KeyQueueRoom() < KeyQueueCapacity) break;
      SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
      const bool pointerEvent = e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP ||
                                e.type == SDL_MOUSEMOTION || e.type == SDL_MOUSEWHEEL;
      if (Picture && WindowOf(e) == SDL_GetWindowID(Picture)) {
        PictureEvent(e);  // its keys are the editor's as any
        if (e.type != SDL_TEXTINPUT && e.type != SDL_KEYDOWN) continue;
      } else if (e.type == SDL_WINDOWEVENT && WindowOf(e) != SDL_GetWindowID(Window)) {
        continue;
      }
      if (pointerEvent && !Focused) continue;
      switch (e.type) {
        case SDL_TEXTINPUT:
          QueueTypedText(e.text.text);
          break;
        case SDL_KEYDOWN:
          if (int code = KeyQueueCode(e.key.keysym)) QueueKey(code);
          break;
        case SDL_MOUSEBUTTONDOWN:
          PressButtons(pointer, ButtonMask(SDL_BUTTON(e.button.button)), e.button.x, e.button.y,
                       InFrame(e.button.x, e.button.y), (SDL_GetModState() & (KMOD_SHIFT | KMOD_ALT)) != 0);
          buttonEvents = true;
          break;
        case SDL_MOUSEBUTTONUP:
          ReleaseButtons(pointer, ButtonMask(SDL_BUTTON(e.button.button)), e.button.x, e.button.y,
                         InFrame(e.button.x, e.button.y), (SDL_GetModState() & (KMOD_SHIFT | KMOD_ALT)) != 0);
          buttonEvents = true;
          break;
        case SDL_MOUSEMOTION:
          MovePointer(pointer, e.motion.x, e.motion.y, InFrame(e.motion.x, e.motion.y));
          break;
        case SDL_MOUSEWHEEL: {
          int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
          pointer.Wheel += steps;
          break;
        }
        case SDL_WINDOWEVENT:
          if (e.window.event == SDL_WINDOWEVENT_CLOSE) QueueKey(ExtendedCode(ScanClose));
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) Focused = true;
          if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Focused = false;
          if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_RESTORED) exposed = true;
          if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            AskForOwnSize(e.window.data1, e.window.data2);
            exposed = true;
          }
          break;
        default:
          break;  // SDL_QUIT among them: the window stays open
      }
    }
    if (exposed && Shown) Present(Shown);
    if (PictureExposed) PresentPicture();
    pointer.Active = (SDL_GetWindowFlags(Window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    // The pointer follows its events. With nothing waiting behind a press,
    // SDL's own state has the last word: the window may have lost the pointer
    // (which queues no event), or a release may have come with no event.
    if (pointer.PressUnread || pointer.WaitingCount > 0) return;
    int x = 0, y = 0;
    const Uint32 buttons = SDL_GetMouseState(&x, &y);
    pointer.Inside = SDL_GetMouseFocus() == Window && InFrame(x, y);
    if (pointer.Inside) {
      pointer.X = x;
      pointer.Y = y;
    }
    if (!buttonEvents) pointer.Buttons = pointer.LatestButtons = ButtonMask(buttons);
  }

  // On X11, waits on the display's connection and on the signals that end
  // the editor, so that an idle editor wakes for nothing else. Elsewhere it
  // waits in slices, so that a signal noted meanwhile is acted on.
  void WaitForInput(int milliseconds) override {
    if (X11Display) {
      SDL_PumpEvents();
      if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || XEventsWaiting(X11Display) || EndSignalPending()) return;
      pollfd waits[2] = {{XConnectionFd(X11Display), POLLIN, 0}, {EndSignalFd(), POLLIN, 0}};
      poll(waits, EndSignalFd() >= 0 ? 2 : 1, milliseconds);
      return;
    }
    for (int waited = 0; milliseconds == UntilInput || waited < milliseconds; waited += SignalCheckMilliseconds) {
      const int slice = milliseconds == UntilInput ? SignalCheckMilliseconds
                                                   : std::min(SignalCheckMilliseconds, milliseconds - waited);
      if (SDL_WaitEventTimeout(nullptr, slice) || EndSignalPending()) return;
    }
  }

  void Beep(int hertz, int milliseconds) override {
    if (!AudioTried) {
      AudioTried = true;
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 1024;
        Audio = SDL_OpenAudioDevice(nullptr, 0, &want, &AudioFormat, 0);
        if (Audio) SDL_PauseAudioDevice(Audio, 0);
      }
    }
    if (!Audio || hertz <= 0) return;  // no audio device: silent
    int samples = AudioFormat.freq * milliseconds / 1000;
    std::vector<Sint16> wave(static_cast<size_t>(samples));
    for (int i = 0; i < samples; ++i) {
      wave[i] = (static_cast<long>(i) * hertz * 2 / AudioFormat.freq) % 2 ? -6000 : 6000;
    }
    SDL_QueueAudio(Audio, wave.data(), static_cast<Uint32>(wave.size() * sizeof(Sint16)));
  }

  bool OpenPicture(int width, int height) override {
    if (!Picture) {
      const std::string title = ProgramTitle() + " picture";
      int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
      PlaceBeside(width, x, y);
      Picture = SDL_CreateWindow(title.c_str(), x, y, width, height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
      if (!Picture) std::fprintf(stderr, "terrafix: no picture window: %s\n", SDL_GetError());
      SDL_SetWindowInputFocus(Window);  // painting goes on where it was
      PictureEvents = {};
      PicturePixels = nullptr;
    }
    return Picture != nullptr;
  }

  void ShowPicture(const uint32_t* pixels, int width, int height, int pitch) override {
    PicturePixels = pixels, PictureWidth = width, PictureHeight = height, PicturePitch = pitch;
    PresentPicture();
  }

  void NotePicture(std::string_view note) override {
    if (Picture) SDL_SetWindowTitle(Picture, (ProgramTitle() + " picture" + std::string(note)).c_str());
  }

  void ClosePicture() override {
    if (Picture) SDL_DestroyWindow(Picture);
    Picture = nullptr;
    PicturePixels = nullptr;
  }

  PictureInput TakePictureInput() override {
    const PictureInput taken = PictureEvents;
    PictureEvents = {};
    return taken;
  }

  [[noreturn]] void EndProcess(int status) override {
    TearDown(status);
    _exit(status);
  }

  [[noreturn]] void EndBySignal(int signal) override {
    TearDown(128 + signal);
    ::signal(signal, SIG_DFL);
    raise(signal);
    _exit(128 + signal);
  }

 private:
  bool InFrame(int x, int y) const { return x >= 0 && x < Width && y >= 0 && y < Height; }

  static Uint32 WindowOf(const SDL_Event& e) {
    switch (e.type) {
      case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: return e.button.windowID;
      case SDL_MOUSEMOTION: return e.motion.windowID;
      case SDL_MOUSEWHEEL: return e.wheel.windowID;
      case SDL_WINDOWEVENT: return e.window.windowID;
      case SDL_KEYDOWN: case SDL_KEYUP: return e.key.windowID;
      case SDL_TEXTINPUT: return e.text.windowID;
      default: return 0;
    }
  }

  // Beside the main window, right or else left of it, where the screen has
  // room; on a narrower screen at its edge, never centred over the slices
  // (a window manager may place it otherwise).
  void PlaceBeside(int width, int& x, int& y) const {
    constexpr int Gap = 8;
    SDL_Rect screen{};
    int mainX = 0, mainY = 0;
    SDL_GetWindowPosition(Window, &mainX, &mainY);
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(Window), 0), &screen) != 0) return;
    // Right of the main window, else left of it where either has room; else
    // at the screen's edge on the side with more, as far from it as can be.
    const int right = screen.x + screen.w - (mainX + Width), left = mainX - screen.x;
    y = mainY;
    if (right >= Gap + width) {
      x = mainX + Width + Gap;
    } else if (left >= Gap + width) {
      x = mainX - Gap - width;
    } else {
      x = right >= left ? screen.x + screen.w - width : screen.x;
    }
  }

  // The wheel zooms the picture, a drag turns it, its close control closes it.
  void PictureEvent(const SDL_Event& e) {
    if (e.type == SDL_MOUSEWHEEL) {
      PictureEvents.Wheel += e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
    } else if (e.type == SDL_MOUSEBUTTONDOWN && e.button.button == SDL_BUTTON_LEFT) {
      DragFromX = e.button.x;
    } else if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT) {
      const int dragged = e.button.x - DragFromX;
      if (std::abs(dragged) >= ShortestTurningDrag) PictureEvents.Turns += dragged > 0 ? 1 : -1;
    } else if (e.type == SDL_WINDOWEVENT) {
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) PictureEvents.Closed = true;
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        PictureExposed = true;
      }
    }
  }

  // The picture, as large as its window holds it whole, in the middle.
  void PresentPicture() {
    PictureExposed = false;
    if (!Picture) return;
    SDL_Surface* window = SDL_GetWindowSurface(Picture);
    if (!window) return;
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, PictureBackground >> 16 & 0xFF,
                                             PictureBackground >> 8 & 0xFF, PictureBackground & 0xFF));
    if (PicturePixels && PictureWidth > 0 && PictureHeight > 0) {
      SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(PicturePixels), PictureWidth,
                                                                PictureHeight, 32, PicturePitch * 4,
                                                                SDL_PIXELFORMAT_ARGB8888);
      if (picture) {
        const double fit = std::min(double(window->w) / PictureWidth, double(window->h) / PictureHeight);
        const int w = std::max(1, int(PictureWidth * fit)), h = std::max(1, int(PictureHeight * fit));
        SDL_Rect to{(window->w - w) / 2, (window->h - h) / 2, w, h};
        SDL_BlitScaled(picture, nullptr, window, &to);
        SDL_FreeSurface(picture);
      }
    }
    SDL_UpdateWindowSurface(Picture);
  }

  // Once, in order, just before the process ends: the sound stops and the
  // window goes. SDL_Quit is not called: closing the display's connection
  // from inside SDL lets an X error end the process with status 1 (Xlib's
  // handlers are its own again by then), and the connection closes with the
  // process anyway. A lost connection meanwhile ends it with `status`.
  void TearDown(int status) {
    if (TornDown) return;
    TornDown = true;
    EndOnLostDisplayWith(status);
    if (Audio) SDL_CloseAudioDevice(Audio);
    if (Picture) SDL_DestroyWindow(Picture);
    SDL_DestroyWindow(Window);
  }

  // Asks the window system for the frame's size again after it gave the
  // window another, at most once a second: a window manager that insists
  // keeps its size, and the frame is shown cut to it.
  void AskForOwnSize(int width, int height) {
    if (width == Width && height == Height) return;
    const Uint32 now = SDL_GetTicks();
    if (SizeAskedAt != 0 && now - SizeAskedAt < SizeAskInterval) return;
    SizeAskedAt = now == 0 ? 1 : now;
    SDL_SetWindowSize(Window, Width, Height);
  }

  static constexpr Uint32 SizeAskInterval = 1000;
  bool TornDown = false;
  SDL_Window* Window;
  int Width;
  int Height;
  void* X11Display;  // SDL's X11 Display, or null on another video driver
  bool Focused;  // the window is the active one, as of the last event taken
  const uint32_t* Shown = nullptr;
  Uint32 SizeAskedAt = 0;
  bool AudioTried = false;
  SDL_AudioDeviceID Audio = 0;
  SDL_Window* Picture = nullptr;  // the picture window, while it is open
  const uint32_t* PicturePixels = nullptr;
  int PictureWidth = 0, PictureHeight = 0, PicturePitch = 0;
  PictureInput PictureEvents;
  int DragFromX = 0;
  bool PictureExposed = false;
  SDL_AudioSpec AudioFormat{};
};

}  // namespace

std::string ProgramTitle() {
  std::string name = ProgramFile();
  if (name.empty()) name = "terrafix";
  name = name.substr(name.find_last_of('/') + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::unique_ptr<ScreenBackend> OpenSdlWindow(int width, int height, const std::string& title) {
  // Ctrl+C and kill end the editor at once, as closing its terminal does.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The frame goes to the window as it is (shared memory on X11): an OpenGL
  // renderer underneath would only add a copy and a software rasteriser.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Only a desktop's window counts; SDL's stand-ins (offscreen, dummy) show nothing.
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!(x11 && *x11) && !(wayland && *wayland)) return nullptr;
  // Only a desktop's drivers: a display that does not answer fails the
  // start (and is tried again) rather than giving an offscreen stand-in.
  if (!std::getenv("SDL_VIDEODRIVER")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
  // A display that is set but busy may not answer the first time.
  bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
  if (!started) {
    std::fprintf(stderr, "terrafix: no window yet: %s; trying again\n", SDL_GetError());
    std::this_thread::sleep_for(SecondTryAfter);
    started = SDL_Init(SDL_INIT_VIDEO) == 0;
  }
  if (!started) {
    std::fprintf(stderr, "terrafix: no window: %s\n", SDL_GetError());
    return nullptr;
  }
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if (driver != "x11" && driver != "wayland") {
    std::fprintf(stderr, "terrafix: no window: SDL has no desktop video driver (it chose '%s')\n", driver.c_str());
    SDL_Quit();
    return nullptr;
  }
  if (driver == "x11") CatchXErrors();
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                        SDL_WINDOW_SHOWN);
  if (!window) {
    std::fprintf(stderr, "terrafix: no window: %s\n", SDL_GetError());
    SDL_Quit();
    return nullptr;
  }
  SDL_SetCursor(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  SDL_RaiseWindow(window);
  SDL_SetWindowInputFocus(window);
  SDL_StartTextInput();
  return std::make_unique<SdlWindow>(window, width, height, X11DisplayOf(window));
}

}  // namespace terrafix
