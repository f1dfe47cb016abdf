#pragma once
// Everything the core needs of the platform, handed in by the caller. main() wires the Win32
// implementations; the unit tests wire fakes.

namespace orv {

class IRegistry;
class ITextCodec;
class IFiles;
class IDialogs;
class IShell;
class IVersionInfo;
class ISystem;
class INetwork;
class IWmi;
class ICpu;
class ISmartDevice;
class IUpdateHistory;
class ITableFiles;

struct Platform {
  IRegistry& registry;
  ITextCodec& codec;
  IFiles& files;
  IDialogs& dialogs;
  IShell& shell;
  IVersionInfo& versions;
  ISystem& system;
  INetwork& network;
  // Optional services: nullptr means the platform has none (no WMI, no identification
  // instruction), and every probe that needs them gives its documented empty value.
  IWmi* wmi = nullptr;
  ICpu* cpu = nullptr;
  // The drives' S.M.A.R.T. interface; nullptr when the platform has none.
  ISmartDevice* smart = nullptr;
  // The Windows Update history; nullptr when the platform has none.
  IUpdateHistory* updateHistory = nullptr;
  // Large files written as they are made (the fleet tables, the disk health report) and put in
  // place at the end; nullptr: they are made in memory and written through `files`.
  ITableFiles* tables = nullptr;
};

}  // namespace orv
