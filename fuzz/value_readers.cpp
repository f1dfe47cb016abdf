// The registry value readers: ReadItemValue and ReadRegValue of an item text over one open key
// that holds a value of every type, and PadVersion.
//
// Input parts (separated by 0x1E):
//   [0] the item text ("Name==label", "A|B", "A+xB", "'Name", "%Name", "Name(a/b)", "Name/f", ...)
//   [1] text of the string value "S" and of the default value
//   [2] text of the expandable string "E"
//   [3] the DWORD "D" (little-endian, missing bytes 0)
//   [4] the bytes of the binary "B"
//   [5] the strings of the multi-string "M", separated by NUL bytes
//   [6] a value "X" of any type: type byte, then the data (a string, a number or bytes by type)
//   [7] bit 0: no key open
//
// Properties: nothing is thrown; with no key open every item reads as empty text; a "'" name
// reads as empty text, "Error!" or text that starts with "'".

#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "fuzz_support.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace {

// Part i of the input; empty when the input has fewer parts. It points into the input.
std::string_view PartView(const std::vector<std::string_view>& parts, size_t i) {
  return i < parts.size() ? parts[i] : std::string_view();
}
std::string Part(const std::vector<std::string_view>& parts, size_t i) { return std::string(PartView(parts, i)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::vector<std::string_view> parts = fuzz::SplitParts(fuzz::AsText(data, size));
  const std::string item(parts[0]);
  const std::string key = "HKLM\\Software\\Fuzz";

  test::FakeRegistry registry;
  registry.SetString(key, "S", Part(parts, 1));
  registry.SetString(key, "", Part(parts, 1));
  registry.SetExpandString(key, "E", Part(parts, 2));
  fuzz::ByteReader dword(PartView(parts, 3));
  registry.SetDword(key, "D", dword.Le32(0));
  const std::string binary = Part(parts, 4);
  registry.SetBinary(key, "B", std::vector<uint8_t>(binary.begin(), binary.end()));
  registry.SetMulti(key, "M", Split(Part(parts, 5), '\0'));
  fuzz::ByteReader any(PartView(parts, 6));
  RegValue x;
  x.type = any.Byte(11);
  const std::string rest(any.Rest());
  if (x.type == regtype::String || x.type == regtype::ExpandString)
    x.text = rest;
  else if (x.type == regtype::Dword)
    x.number = fuzz::ByteReader(rest).Le32(0);
  else if (x.type == regtype::MultiString)
    x.strings = Split(rest, '\0');
  else
    x.bytes.assign(rest.begin(), rest.end());
  registry.SetValue(key, "X", x);
  fuzz::ByteReader flags(PartView(parts, 7));
  const bool noKey = flags.Bit(false);

  TRegistryEx reg(registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  const bool keyOpen = !noKey && reg.OpenKeyReadOnly("\\Software\\Fuzz");

  const std::string value = ReadItemValue(reg, keyOpen, item);
  if (!keyOpen) ORV_FUZZ_CHECK(value.empty(), item + " -> " + value);

  const std::string single = ReadRegValue(reg, item);
  if (StartsWith(item, "'"))
    ORV_FUZZ_CHECK(single.empty() || StartsWith(single, "'") || single == "Error!", single);

  PadVersion(item);
  PadVersion(Part(parts, 1));
  return 0;
}
