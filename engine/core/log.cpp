// Engine log line assembly and its debugger-output sink.
#include "engine/core/log.h"

#include <windows.h>

namespace {
void DebuggerSink(const char* line) { OutputDebugStringA(line); }
LogSink logSink = DebuggerSink;
}  // namespace

LogSink SetLogSink(LogSink sink) {
  LogSink previous = logSink;
  logSink = sink ? sink : DebuggerSink;
  return previous;
}

void LogLineBuffer::Put(char c) {
  line.push_back(c);
  if (c == '\n') EmitPending();
}

void LogLineBuffer::EmitPending() {
  if (line.empty()) return;
  logSink(line.c_str());
  line.clear();
}

LogLineBuffer::int_type LogLineBuffer::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) Put(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

std::streamsize LogLineBuffer::xsputn(const char* text, std::streamsize count) {
  for (std::streamsize i = 0; i < count; ++i) Put(text[i]);
  return count;
}

EngineLogStream::EngineLogStream() : std::ostream(nullptr) { rdbuf(&buffer); }

void EngineLogStream::close() {
  if (!is_open()) return;
  buffer.EmitPending();  // a last line without its end is still delivered
  rdbuf(nullptr);        // sets badbit: later writes are ignored
}
