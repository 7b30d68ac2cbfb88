// Reference limits for glyphstorm's drawing paths: the same glyph quads, phrase quads and state on
// a plain Win32 window with OpenGL 1.1, no engine around them; plus, to show where this driver
// spends a frame: the glyph quads batched, the phrase quads with an isotropic texture (no 16x
// anisotropy) and an empty frame (clear, rate, swap).
//   gl_reference.exe glyphs|phrase|batched|isotropic|empty [seconds] [phrases]
// Runs until Esc, the close button, or the given number of seconds (0: no limit); draws 199
// phrases per frame, or the given number (0 to 100000). Reads Tahoma.txt and Tahoma.png from the
// working directory, like glyphstorm. Writes each period's presented frames on the debugger output
// ("frames=N"), once a second unless GLYPHSTORM_FRAME_REPORT names another period in milliseconds.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>
#include <IL/il.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "frame_reporter.h"
#include "workload2d.h"

namespace {

const char kPhrase[] = "саббакка баббка аф-фа-аф %!%^^^#$";
const int kWidth = 800;
const int kHeight = 600;
const int kDefaultPhrases = 199;
const int kPhraseGlyphs = sizeof(kPhrase) - 1;
// The largest glyph sheet side taken: the most GL drivers take, and size² · 4 fits 32 bits.
const int kMaxSheetSize = 16384;

enum Path { Glyphs, Phrase, Batched, Isotropic, Empty };
const char* const kPathWords[] = {"glyphs", "phrase", "batched", "isotropic",
                                  "empty"};  // Path order

struct Resources {
  GLuint sheet = 0;
  GLuint phrase = 0;
  int widths[256] = {};
  int phraseWidth = 0;
  float phraseU = 1.0f;
};

struct BatchVertex {
  GLfloat u, v;
  GLubyte color[4];
  GLfloat x, y, z;
};

bool quit = false;
HDC dc;
int phrases = kDefaultPhrases;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE || (message == WM_KEYDOWN && wParam == VK_ESCAPE)) {
    quit = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The same window and pixel format request as glyphstorm's 800 x 600 windowed start.
bool OpenGlWindow() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "GlyphReference";
  if (!RegisterClassA(&windowClass)) return false;
  RECT rect = {0, 0, kWidth, kHeight};
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, exStyle);
  HWND window = CreateWindowExA(exStyle, "GlyphReference", "glyphstorm reference",
                                WS_OVERLAPPEDWINDOW | WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                0, 0, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (!window) return false;
  dc = GetDC(window);
  PIXELFORMATDESCRIPTOR request = {};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 32;
  request.cDepthBits = 24;
  request.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(dc, &request);
  if (!format || !SetPixelFormat(dc, format, &request)) return false;
  HGLRC context = wglCreateContext(dc);
  if (!context || !wglMakeCurrent(dc, context)) return false;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(window);
  glViewport(0, 0, kWidth, kHeight);
  auto swapInterval = reinterpret_cast<BOOL(WINAPI*)(int)>(
      reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
  if (swapInterval) swapInterval(0);
  return true;
}

// glyphstorm's start-up defaults that touch drawing: culling, clear values, depth function.
void SetDefaultState() {
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glDepthFunc(GL_LESS);
  glDisable(GL_DEPTH_TEST);
  // glyphstorm's mode 2 sets this bias first, and it stays for all later texture drawing.
  glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, -2.0f);
}

bool LoadWidths(Resources& r) {
  std::ifstream file("Tahoma.txt");
  if (!file) return false;
  std::string line;
  int code = 0, width = 0;
  while (std::getline(file, line)) {
    if (std::sscanf(line.c_str(), "%d = %d", &code, &width) == 2 && code >= 0 && code < 256)
      r.widths[code] = width;
  }
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(kPhrase); *c; ++c)
    r.phraseWidth += r.widths[*c];
  return r.phraseWidth > 0;
}

// The glyph sheet as glyphstorm makes it: mipmapped, trilinear, modulated.
bool LoadSheet(Resources& r, std::vector<unsigned char>& rgba, int& size) {
  ilInit();
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  if (!ilLoadImage("Tahoma.png") || ilGetInteger(IL_IMAGE_FORMAT) != GL_RGBA) return false;
  size = ilGetInteger(IL_IMAGE_WIDTH);
  if (size < 16 || size > kMaxSheetSize || ilGetInteger(IL_IMAGE_HEIGHT) != size) return false;
  // The copy takes size² RGBA texels: a library holding fewer is refused, not read past.
  const unsigned char* data = ilGetData();
  size_t bytes = size_t(size) * size * 4;
  ILint held = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
  if (!data || held < 0 || size_t(held) < bytes) return false;
  rgba.assign(data, data + bytes);
  ilDeleteImages(1, &image);
  glGenTextures(1, &r.sheet);
  glBindTexture(GL_TEXTURE_2D, r.sheet);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, size, size, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return true;
}

// The phrase texture, composed on the CPU from the sheet's alpha (white texels, the phrase's
// bottom row first, zero past the phrase width) with glyphstorm's size and filters.
void MakePhraseTexture(Resources& r, const std::vector<unsigned char>& sheet, int size,
                       bool anisotropic) {
  int fw = 4;
  while (fw < r.phraseWidth && fw < 4096) fw *= 2;
  int cell = size / 16;
  std::vector<unsigned char> texels(size_t(fw) * 16 * 4, 0);
  for (int k = 0; k < r.phraseWidth && k < fw; ++k)
    for (int row = 0; row < 16; ++row) std::memset(&texels[(size_t(row) * fw + k) * 4], 255, 3);
  int pen = 0;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(kPhrase); *c; ++c) {
    for (int row = 0; row < 16 && row < cell; ++row) {
      for (int k = 0; k < 16 && k < cell; ++k) {
        int x = pen + k;
        if (x < 0 || x >= r.phraseWidth || x >= fw) continue;
        size_t from = ((size_t((*c >> 4) * cell + row) * size) + (*c & 15) * cell + k) * 4 + 3;
        unsigned char& alpha = texels[(size_t(15 - row) * fw + x) * 4 + 3];
        if (sheet[from] > alpha) alpha = sheet[from];
      }
    }
    pen += r.widths[*c];
  }
  glGenTextures(1, &r.phrase);
  glBindTexture(GL_TEXTURE_2D, r.phrase);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  if (anisotropic) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, fw, 16, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  r.phraseU = float(r.phraseWidth) / float(fw);
}

void SetProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);
  glTranslatef(0.375f, 0.375f, 0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void EnterGlyphState(const Resources& r) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, r.sheet);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glAlphaFunc(GL_GREATER, 0.1f);
  glEnable(GL_ALPHA_TEST);
}

void LeaveGlyphState() {
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_TEXTURE_2D);
}

void DrawGlyphs(const Resources& r, const char* text, int x, int y) {
  float pen = float(x), top = float(y), bottom = top + 16.0f;
  glBegin(GL_QUADS);
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    float u = (*c & 15) * 0.0625f, v = (*c >> 4) * 0.0625f;
    glTexCoord2f(u, v);
    glVertex3f(pen, top, 0);
    glTexCoord2f(u, v + 0.0625f);
    glVertex3f(pen, bottom, 0);
    glTexCoord2f(u + 0.0625f, v + 0.0625f);
    glVertex3f(pen + 16, bottom, 0);
    glTexCoord2f(u + 0.0625f, v);
    glVertex3f(pen + 16, top, 0);
    pen += float(r.widths[*c]);
  }
  glEnd();
}

// The random colour and position of one phrase, drawn in glyphstorm's order.
void NextPhrase(const Resources& r, unsigned char color[3], int& x, int& y) {
  color[2] = std::rand() % 256;
  color[1] = std::rand() % 256;
  color[0] = std::rand() % 256;
  x = std::rand() % (kWidth - r.phraseWidth + 1);
  y = std::rand() % (kHeight - 15);
}

void DrawGlyphPhrases(const Resources& r) {
  EnterGlyphState(r);
  unsigned char color[3];
  int x, y;
  for (int i = 0; i < phrases; ++i) {
    NextPhrase(r, color, x, y);
    glColor4f(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f, 1.0f);
    DrawGlyphs(r, kPhrase, x, y);
  }
}

void DrawPhraseQuads(const Resources& r) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, r.phrase);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  unsigned char color[3];
  int x, y;
  float w = float(r.phraseWidth);
  for (int i = 0; i < phrases; ++i) {
    NextPhrase(r, color, x, y);
    glColor4f(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f, 1.0f);
    float left = float(x), top = float(y);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(left, top, 1);
    glTexCoord2f(0, 0);
    glVertex3f(left, top + 16, 1);
    glTexCoord2f(r.phraseU, 0);
    glVertex3f(left + w, top + 16, 1);
    glTexCoord2f(r.phraseU, 1);
    glVertex3f(left + w, top, 1);
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  EnterGlyphState(r);
}

// All glyph quads of the frame in one client-side vertex array and one draw call.
void DrawBatchedGlyphs(const Resources& r, std::vector<BatchVertex>& batch) {
  EnterGlyphState(r);
  BatchVertex* out = batch.data();
  unsigned char color[3];
  int x, y;
  for (int i = 0; i < phrases; ++i) {
    NextPhrase(r, color, x, y);
    float pen = float(x), top = float(y), bottom = top + 16.0f;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(kPhrase); *c; ++c) {
      float u = (*c & 15) * 0.0625f, v = (*c >> 4) * 0.0625f;
      const float corners[4][4] = {{u, v, pen, top},
                                   {u, v + 0.0625f, pen, bottom},
                                   {u + 0.0625f, v + 0.0625f, pen + 16, bottom},
                                   {u + 0.0625f, v, pen + 16, top}};
      for (const auto& k : corners) {
        *out++ = BatchVertex{k[0], k[1], {color[0], color[1], color[2], 255}, k[2], k[3], 0.0f};
      }
      pen += float(r.widths[*c]);
    }
  }
  glDrawArrays(GL_QUADS, 0, GLsizei(out - batch.data()));
}

void PrepareBatch(std::vector<BatchVertex>& batch) {
  batch.resize(size_t(phrases) * kPhraseGlyphs * 4);
  if (batch.empty()) return;  // no phrases: nothing to point the arrays at, nothing drawn
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), &batch[0].u);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BatchVertex), batch[0].color);
  glVertexPointer(3, GL_FLOAT, sizeof(BatchVertex), &batch[0].x);
}

// Exactly one path word was given: that path.
bool OnePath(uint32_t words, Path& path) {
  if (words == 0 || (words & (words - 1)) != 0) return false;
  int index = 0;
  while (!(words & (1u << index))) ++index;
  path = Path(index);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Path path;
  ReferenceArgs args;
  if (!ParseReferenceArgs(argc, argv, kPathWords, int(sizeof kPathWords / sizeof *kPathWords), args,
                          kDefaultPhrases) ||
      !OnePath(args.words, path)) {
    std::fprintf(stderr,
                 "usage: gl_reference glyphs|phrase|batched|isotropic|empty [seconds] [phrases]\n");
    return 2;
  }
  phrases = args.phrases;
  DWORD limit = args.seconds * 1000u;
  Resources r;
  std::vector<unsigned char> sheet;
  int size = 0;
  if (!OpenGlWindow()) {
    std::fprintf(stderr, "gl_reference: no OpenGL window\n");
    return 1;
  }
  if (!LoadWidths(r) || !LoadSheet(r, sheet, size)) {
    std::fprintf(stderr, "gl_reference: Tahoma.txt or Tahoma.png missing or unusable\n");
    return 1;
  }
  SetDefaultState();
  if (path == Phrase || path == Isotropic) MakePhraseTexture(r, sheet, size, path == Phrase);
  std::vector<BatchVertex> batch;
  if (path == Batched) PrepareBatch(batch);
  std::srand(GetTickCount());

  DWORD start = GetTickCount(), lastMark = start;
  int fps = 0, frames = 0;
  FrameReporter reporter = StartFrameReporter(start, kDefaultReportPeriod);
  char rate[16];
  MSG msg;
  while (!quit && (limit == 0 || GetTickCount() - start < limit)) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetProjection();
    if (path == Glyphs) DrawGlyphPhrases(r);
    else if (path == Phrase || path == Isotropic) DrawPhraseQuads(r);
    else if (path == Batched) DrawBatchedGlyphs(r, batch);
    else EnterGlyphState(r);
    glColor4f(1, 1, 1, 1);
    std::snprintf(rate, sizeof rate, "%d", fps);
    DrawGlyphs(r, rate, 20, 20);
    LeaveGlyphState();
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
  return 0;
}
