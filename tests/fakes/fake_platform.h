#pragma once
// Every platform fake in one place, wired into a Platform for the code under test.

#include "fakes/fake_dialogs.h"
#include "fakes/fake_files.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_version_info.h"
#include "platform/platform.h"
#include "platform/posix/iconv_codec.h"

namespace orv::test {

struct FakePlatform {
  FakeRegistry registry;
  IconvCodec codec;
  FakeFiles files;
  FakeDialogs dialogs;
  FakeShell shell;
  FakeVersionInfo versions;
  FakeSystem system;
  FakeNetwork network;
  Platform platform{registry, codec, files, dialogs, shell, versions, system, network};

  FakePlatform() { files.AddFolder("C:\\tools\\inv"); }
};

}  // namespace orv::test
