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

struct Platform {
  IRegistry& registry;
  ITextCodec& codec;
  IFiles& files;
  IDialogs& dialogs;
  IShell& shell;
  IVersionInfo& versions;
  ISystem& system;
  INetwork& network;
};

}  // namespace orv
