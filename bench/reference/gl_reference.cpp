// Reference limits for glyphstorm's drawing paths: the same glyph quads, phrase quads and state on
// a plain Win32 window with OpenGL, no engine around them; plus, to show where this driver spends
// a frame: the glyph quads batched, the phrase quads with an isotropic texture (no 16x
// anisotropy) and an empty frame (clear, rate, swap); and the same glyphs drawn the ways of newer
// GL: streamed into one vertex buffer (vbo), and one shape of the phrase's glyphs drawn once per
// phrase record by one instanced call (instanced).
//   gl_reference.exe glyphs|phrase|batched|isotropic|empty|vbo|instanced [seconds] [phrases]
//                    [--shot FILE]
// Runs until Esc, the close button, or the given number of seconds (0: no limit); draws 199
// phrases per frame, or the given number (0 to 100000). Reads Tahoma.txt and Tahoma.png from the
// working directory, like glyphstorm. Writes each period's presented frames on the debugger output
// ("frames=N"), once a second unless GLYPHSTORM_FRAME_REPORT names another period in milliseconds.
// --shot draws one frame from a fixed seed and writes its back buffer to FILE (binary PPM).
// Exit codes: 0 done, 1 failed, 2 bad arguments, 3 the path is unavailable on this desktop (its
// GL lacks what the path needs; the reason follows "unavailable on this desktop: " on stderr and
// on the debugger output).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frame_reporter.h"
#include "gl_reference.h"
#include "gl_reference_shot.h"
#include "workload2d.h"

const char* const kGlPathWords[] = {"glyphs", "phrase", "batched",  "isotropic",
                                    "empty",  "vbo",    "instanced"};  // GlPath order
const int kGlPathCount = int(sizeof kGlPathWords / sizeof *kGlPathWords);

namespace {

const int kExitFailed = 1;
const int kExitUsage = 2;
const int kExitUnavailable = 3;
const char kUnavailable[] = "unavailable on this desktop: ";

bool quit = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || (message == WM_KEYDOWN && wParam == VK_ESCAPE)) {
    quit = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The same window and pixel format request as glyphstorm's 800 x 600 windowed start.
HDC OpenGlWindow() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "GlyphReference";
  if (!RegisterClassA(&windowClass)) return nullptr;
  RECT rect = {0, 0, kGlWidth, kGlHeight};
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, exStyle);
  HWND window = CreateWindowExA(exStyle, "GlyphReference", "glyphstorm reference",
                                WS_OVERLAPPEDWINDOW | WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                0, 0, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (!window) return nullptr;
  HDC dc = GetDC(window);
  PIXELFORMATDESCRIPTOR request = {};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 32;
  request.cDepthBits = 24;
  request.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(dc, &request);
  if (!format || !SetPixelFormat(dc, format, &request)) return nullptr;
  HGLRC context = wglCreateContext(dc);
  if (!context || !wglMakeCurrent(dc, context)) return nullptr;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(window);
  glViewport(0, 0, kGlWidth, kGlHeight);
  auto swapInterval = reinterpret_cast<BOOL(WINAPI*)(int)>(
      reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (swapInterval) swapInterval(0);
  return dc;
}

// Exactly one path word was given: that path.
bool OnePath(uint32_t words, GlPath& path) {
  if (words == 0 || (words & (words - 1)) != 0) return false;
  int index = 0;
  while (!(words & (1u << index))) ++index;
  path = GlPath(index);
  return true;
}

int Usage() {
  std::string words = kGlPathWords[0];
  for (int i = 1; i < kGlPathCount; ++i) words += std::string("|") + kGlPathWords[i];
  std::fprintf(stderr, "usage: gl_reference %s [seconds] [phrases] [%s FILE]\n", words.c_str(),
               kShotOption);
  return kExitUsage;
}

int Failed(const std::string& what) {
  std::fprintf(stderr, "gl_reference: %s\n", what.c_str());
  return kExitFailed;
}

// Said where a harness reads it whichever way it runs the program: stderr and debugger output.
int ReportUnavailable(const std::string& reason) {
  std::string line = kUnavailable + reason + "\n";
  std::fputs(("gl_reference: " + line).c_str(), stderr);
  OutputDebugStringA(line.c_str());
  return kExitUnavailable;
}

// The path's textures, arrays, buffers or shaders, made once before the first frame.
PathSetup PreparePath(GlFrame& f, const std::vector<unsigned char>& sheet, int size) {
  if (f.path == Phrase || f.path == Isotropic)
    MakePhraseTexture(f.textures, f.widths, sheet, size, f.path == Phrase);
  if (f.path == Batched) PrepareBatch(f);
  if (f.path == Vbo) return PrepareVertexBuffer(f);
  if (f.path == Instanced) return PrepareInstancing(f);
  return PathSetup{};
}

// One frame into the back buffer, the rate at (20, 20).
void DrawFrame(GlFrame& f, int fps) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SetProjection();
  switch (f.path) {
    case Glyphs: DrawGlyphPhrases(f); break;
    case Phrase:
    case Isotropic: DrawPhraseQuads(f); break;
    case Batched: DrawBatchedGlyphs(f); break;
    case Vbo: DrawVertexBufferGlyphs(f); break;
    case Instanced: DrawInstancedPhrases(f); break;
    case Empty: EnterGlyphState(f.textures); break;
  }
  glColor4f(1, 1, 1, 1);
  char rate[16];
  std::snprintf(rate, sizeof rate, "%d", fps);
  DrawGlyphs(f.widths, rate, 20, 20);
  LeaveGlyphState();
}

// The first frame of the fixed seed, read back from the back buffer before any swap.
int WriteShotFrame(GlFrame& f, const std::string& file) {
  std::srand(kShotSeed);
  DrawFrame(f, 0);
  glFinish();
  std::vector<uint8_t> pixels(size_t(kGlWidth) * kGlHeight * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kGlWidth, kGlHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  if (!WriteShot(file, kGlWidth, kGlHeight, pixels)) return Failed("cannot write " + file);
  return 0;
}

void RunFrames(GlFrame& f, HDC dc, uint32_t seconds) {
  std::srand(GetTickCount());
  DWORD limit = seconds * 1000u;
  DWORD start = GetTickCount(), lastMark = start;
  int fps = 0, frames = 0;
  FrameReporter reporter = StartFrameReporter(start, kDefaultReportPeriod);
  MSG msg;
  while (!quit && (limit == 0 || GetTickCount() - start < limit)) {
    DrawFrame(f, fps);
    bool presented = SwapBuffers(dc) != FALSE;
    CountReportedFrame(reporter, GetTickCount(), presented);
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    ++frames;
    if (GetTickCount() - lastMark > 1000) {
      fps = frames;
      frames = 0;
      lastMark = GetTickCount();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  std::string shot;
  ReferenceArgs args;
  GlFrame f;
  if (!TakeShotOption(argc, argv, rest, shot) ||
      !ParseReferenceArgs(int(rest.size()), rest.data(), kGlPathWords, kGlPathCount, args,
                          kGlDefaultPhrases) ||
      !OnePath(args.words, f.path))
    return Usage();
  f.phrases = args.phrases;
  HDC dc = OpenGlWindow();
  if (!dc) return Failed("no OpenGL window");
  std::vector<unsigned char> sheet;
  int size = 0;
  std::ifstream widths("Tahoma.txt");
  if (!widths || !ReadGlyphWidths(widths, f.widths) || !LoadSheet(f.textures, sheet, size))
    return Failed("Tahoma.txt or Tahoma.png missing or unusable");
  SetDefaultState();
  PathSetup setup = PreparePath(f, sheet, size);
  if (setup.outcome == Unavailable) return ReportUnavailable(setup.reason);
  if (setup.outcome == SetupFailed) return Failed(setup.reason);
  if (!shot.empty()) return WriteShotFrame(f, shot);
  RunFrames(f, dc, args.seconds);
  return 0;
}
