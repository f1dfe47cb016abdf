#pragma once
// Every Win32 implementation of the platform interfaces, created together. The dialogs are not
// among them: they belong to the window that owns them (or to a tool that answers none).

#include "platform/platform.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_cpu.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_update_history.h"
#include "platform/win32/win32_version_info.h"
#include "platform/win32/win32_wmi.h"

namespace orv::win32 {

struct Win32Services {
  Win32Registry registry;
  Win32Codec codec;
  Win32Files files;
  Win32Shell shell;
  Win32VersionInfo versions;
  Win32System system;
  Win32Network network;
  Win32Cpu cpu;
  // Its connections serve the queries of one collection run (each run connects anew) and the
  // disk screens between runs.
  Win32Wmi wmi;
  Win32UpdateHistory updateHistory;

  Platform MakePlatform(IDialogs& dialogs) {
    Platform platform{registry, codec, files, dialogs, shell, versions, system, network};
    platform.cpu = &cpu;
    platform.wmi = &wmi;
    platform.updateHistory = &updateHistory;
    return platform;
  }
};

}  // namespace orv::win32
