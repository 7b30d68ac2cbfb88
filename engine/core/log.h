// The engine log: one process-wide stream. Each completed line goes to the log sink (by default
// the debugger output, OutputDebugStringA); nothing is ever written to disk. After close() every
// write is ignored.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

// Gathers the bytes written to the log into lines.
class LogLineBuffer : public std::streambuf {
 public:
  void EmitPending();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;

 private:
  void Put(char c);
  std::string line;
};

struct EngineLogStream : std::ostream {
  EngineLogStream();
  void close();
  bool is_open() const { return rdbuf() != nullptr; }

 private:
  LogLineBuffer buffer;
};

extern EngineLogStream engineLog;

// Receives each completed line, newline included, as a zero-terminated string.
using LogSink = void (*)(const char* line);
// Replace the sink (tests capture lines in-process); returns the previous one.
LogSink SetLogSink(LogSink sink);
