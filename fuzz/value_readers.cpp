// The registry value readers: ReadItemValue and ReadRegValue of an item text over one open key
// that holds a value of every type, and PadVersion.
//
// Input parts: [0] the item text ("Name==label", "A|B", "A+xB", "'Name", "%Name", "Name(a/b)",
// "Name/f", ...); [1] text of the string value "S" and of the default value; [2] text of the
// expandable string "E"; [3] the DWORD "D" (little-endian, missing bytes 0); [4] the bytes of
// the binary "B"; [5] the strings of the multi-string "M", separated by NUL bytes; [6] a value
// "X" of any type: type byte, then the data (a string, a number or bytes by type); [7] bit 0: no
// key open.
//
// Properties: nothing is thrown; with no key open every item reads as empty text; a "'" name
// reads as empty text, "Error!" or text that starts with "'".

#include "regscript/value_readers.h"

#include "fakes/fake_registry.h"
#include "fuzz_support.h"

ORV_FUZZ_TARGET(input) {
  const Parts parts(input);
  const std::string item = parts.Text(0), key = "HKLM\\Software\\Fuzz";
  test::FakeRegistry registry;
  registry.SetString(key, "S", parts.Text(1));
  registry.SetString(key, "", parts.Text(1));
  registry.SetExpandString(key, "E", parts.Text(2));
  registry.SetDword(key, "D", ByteReader(parts[3]).Le32());
  registry.SetBinary(key, "B", std::vector<uint8_t>(parts[4].begin(), parts[4].end()));
  registry.SetMulti(key, "M", Split(parts.Text(5), '\0'));
  ByteReader any(parts[6]);
  RegValue x;
  x.type = any.Byte(11);
  const std::string rest(any.Rest());
  if (x.type == regtype::String || x.type == regtype::ExpandString)
    x.text = rest;
  else if (x.type == regtype::Dword)
    x.number = ByteReader(rest).Le32();
  else if (x.type == regtype::MultiString)
    x.strings = Split(rest, '\0');
  else
    x.bytes.assign(rest.begin(), rest.end());
  registry.SetValue(key, "X", x);

  TRegistryEx reg(registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  const bool keyOpen = !ByteReader(parts[7]).Bit() && reg.OpenKeyReadOnly("\\Software\\Fuzz");
  const std::string value = ReadItemValue(reg, keyOpen, item);
  if (!keyOpen) ORV_FUZZ_CHECK(value.empty(), item, " -> ", value);
  const std::string single = ReadRegValue(reg, item);
  if (StartsWith(item, "'"))
    ORV_FUZZ_CHECK(single.empty() || StartsWith(single, "'") || single == "Error!", single);
  PadVersion(item);
  PadVersion(parts.Text(1));
}
