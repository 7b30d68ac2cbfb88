// Report folders on disk, for both harnesses: raw.json in, the report files out, and the runs
// --compare reads. Portable file IO; every failure names the file.
#pragma once

#include <string>

#include "json_doc.h"
#include "raw_run.h"

bool ReadTextFile(const std::string& path, std::string& text);
bool WriteTextFile(const std::string& path, const std::string& text);
// path's raw.json into a raw run; error: "<path>: <field>: <what is wrong>".
bool ReadRawFile(const std::string& path, RawRun& raw, std::string& error);
// The folder's raw.json judged by this build's method (nothing is written).
bool RejudgeFolder(const std::string& folder, Json& results, std::string& error);
// A run to compare: a folder with raw.json is judged afresh; else a folder's results.json, or a
// results.json named directly, of format 1 or 2.
bool ReadRunFolder(const std::string& where, Json& results, std::string& error);
// Every report file of the results into the folder (made when missing).
bool WriteReportFolder(const std::string& folder, const Json& results, std::string& error);
