#include "run_folder.h"

#include <cstdio>
#include <sys/stat.h>

#include "judge.h"
#include "report_files.h"

#ifdef _WIN32
#include <direct.h>
#endif

namespace {

const char kRawName[] = "raw.json";
const char kResultsName[] = "results.json";
const int32_t kOldestResults = 1;

std::string Join(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return folder + (last == '/' || last == '\\' ? "" : "/") + name;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str()) == 0 || IsFolder(path);
#else
  return mkdir(path.c_str(), 0755) == 0 || IsFolder(path);
#endif
}

bool ReadJsonFile(const std::string& path, Json& value, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text)) {
    error = path + ": cannot be read";
    return false;
  }
  if (ParseJsonText(text, value, error)) return true;
  error = path + ": " + error;
  return false;
}

bool CheckResults(const std::string& path, const Json& results, std::string& error) {
  std::optional<double> format = NumberAt(results, "format");
  if (!results.is_object() || !format || !results.contains("kind")) {
    error = path + ": not a results.json of this benchmark (no format or kind)";
  } else if (*format < kOldestResults || *format > kResultsFormat) {
    error = path + ": format " + results["format"].dump() + ": this build reads formats " +
            std::to_string(kOldestResults) + " to " + std::to_string(kResultsFormat);
  } else if (!MemberAt(results, "paths").is_array() && TextAt(results, "kind") != "failed") {
    error = path + ": paths: must be a list";
  }
  return error.empty();
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.clear();
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

bool ReadRawFile(const std::string& path, RawRun& raw, std::string& error) {
  Json document;
  if (!ReadJsonFile(path, document, error)) return false;
  if (ReadRawRun(document, raw, error)) return true;
  error = path + ": " + error;
  return false;
}

bool RejudgeFolder(const std::string& folder, Json& results, std::string& error) {
  std::string path = Join(folder, kRawName);
  RawRun raw;
  if (!IsFile(path)) {
    error = path + ": no such file (a report folder holds the raw.json it was judged from)";
    return false;
  }
  if (!ReadRawFile(path, raw, error)) return false;
  if (JudgeRun(raw, results, error)) return true;
  error = path + ": " + error;
  return false;
}

bool ReadRunFolder(const std::string& where, Json& results, std::string& error) {
  if (IsFolder(where) && IsFile(Join(where, kRawName))) return RejudgeFolder(where, results, error);
  std::string path = IsFolder(where) ? Join(where, kResultsName) : where;
  if (!IsFile(path)) {
    error = path + ": no such file";
    return false;
  }
  return ReadJsonFile(path, results, error) && CheckResults(path, results, error);
}

bool WriteReportFolder(const std::string& folder, const Json& results, std::string& error) {
  if (!MakeFolder(folder)) {
    error = folder + ": cannot be made";
    return false;
  }
  for (const ReportFile& file : ReportFiles(results)) {
    std::string path = Join(folder, file.name.c_str());
    if (!WriteTextFile(path, file.bytes)) {
      error = path + ": cannot be written";
      return false;
    }
  }
  return true;
}
