// qumbel-fleet: the fleet table builder on the command line, for a file server or a scheduled
// task. `qumbel-fleet [folder]` builds roster.csv and roster_a.csv from the per-PC files of the
// folder (default: the current folder), exactly as the menu command 一覧表作成 does in the
// program's folder, prints the final message or the error message, and exits with 0 when both
// tables were written (see fleet/fleet_command.h for the other codes). `qumbel-fleet --report
// [folder]` writes the disk health report there, as the menu command ディスク健康レポート does.
//
// This is the one place of the tool that wires the platform: the POSIX layer natively, the Win32
// layer in the Windows build.

#include <string>
#include <vector>

#include "fleet/streamed_table_files.h"
#include "fleet/fleet_command.h"

#ifdef _WIN32
// The platform headers before <windows.h> (see win32_files.h).
#include "platform/win32/wide.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_files.h"
#else
#include <cstdio>
#include <ctime>

#include "platform/posix/iconv_codec.h"
#include "platform/posix/posix_files.h"
#endif

#ifdef _WIN32

namespace {

// A console gets the text as UTF-16, so Japanese shows whatever the console's code page; a
// redirected stream (a file, a pipe) gets UTF-8 bytes. Windows line ends either way.
void Print(const std::string& text, bool toErrorStream) {
  HANDLE stream = GetStdHandle(toErrorStream ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return;
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  lines += "\r\n";
  DWORD mode = 0;
  if (GetConsoleMode(stream, &mode)) {
    std::wstring wide = orv::win32::Widen(lines);
    const wchar_t* p = wide.data();
    DWORD left = static_cast<DWORD>(wide.size());
    while (left > 0) {
      DWORD written = 0;
      if (!WriteConsoleW(stream, p, left, &written, nullptr) || written == 0) return;
      p += written;
      left -= written;
    }
    return;
  }
  const char* p = lines.data();
  DWORD left = static_cast<DWORD>(lines.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(stream, p, left, &written, nullptr) || written == 0) return;
    p += written;
    left -= written;
  }
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(orv::win32::NarrowZ(argv[i]));

  orv::Win32Files files;
  orv::Win32Codec codec;
  orv::StreamedTableFiles tables;
  SYSTEMTIME local{};
  GetLocalTime(&local);
  orv::DateTime now{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                    local.wMilliseconds};
  orv::FleetCommandOutcome outcome = orv::RunFleetCommand(args, files, codec, tables, now);
  Print(outcome.message, outcome.isError);
  return outcome.exitCode;
}

#else

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);

  orv::PosixFiles files;
  orv::IconvCodec codec;
  orv::StreamedTableFiles tables;
  std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  orv::DateTime now{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0};
  orv::FleetCommandOutcome outcome = orv::RunFleetCommand(args, files, codec, tables, now);
  std::FILE* stream = outcome.isError ? stderr : stdout;
  std::fputs(outcome.message.c_str(), stream);
  std::fputc('\n', stream);
  return outcome.exitCode;
}

#endif
