#include "regscript/registry_ex.h"

namespace orv {

namespace {

[[noreturn]] void ReadError(std::string_view name) {
  throw ERegistryError("Invalid data type for '" + std::string(name) + "'");
}

}  // namespace

TRegistryEx::TRegistryEx(IRegistry& registry, RegView view) : registry_(registry), view_(view) {}

void TRegistryEx::SetRootKey(RegRoot root) { root_ = root; }

void TRegistryEx::CloseKey() { key_.reset(); }

bool TRegistryEx::OpenKeyReadOnly(std::string_view path) {
  CloseKey();
  key_ = registry_.OpenKey(root_, path, view_);
  return key_ != nullptr;
}

bool TRegistryEx::ReadValue(std::string_view name, RegValue& out) {
  return key_ && key_->QueryValue(name, out);
}

bool TRegistryEx::ValueExists(std::string_view name) {
  RegValue value;
  return ReadValue(name, value);
}

RegDataType TRegistryEx::GetDataType(std::string_view name) {
  RegValue value;
  if (!ReadValue(name, value)) return RegDataType::None;
  switch (value.type) {
    case regtype::None: return RegDataType::None;
    case regtype::String: return RegDataType::String;
    case regtype::ExpandString: return RegDataType::ExpandString;
    case regtype::Dword: return RegDataType::Integer;
    case regtype::Binary: return RegDataType::Binary;
    default: return RegDataType::Unknown;
  }
}

std::string TRegistryEx::ReadString(std::string_view name) {
  RegValue value;
  if (!ReadValue(name, value)) return {};
  if (value.type != regtype::String && value.type != regtype::ExpandString) ReadError(name);
  return value.text;
}

int32_t TRegistryEx::ReadInteger(std::string_view name) {
  RegValue value;
  if (!ReadValue(name, value)) throw ERegistryError("Failed to get data for '" + std::string(name) + "'");
  if (value.type != regtype::Dword) ReadError(name);
  return static_cast<int32_t>(value.number);
}

std::vector<uint8_t> TRegistryEx::ReadBinaryData(std::string_view name) {
  RegValue value;
  if (!ReadValue(name, value)) return {};
  switch (value.type) {
    case regtype::String:
    case regtype::ExpandString:
    case regtype::Dword:
      ReadError(name);
    case regtype::MultiString: {
      std::vector<uint8_t> bytes;
      for (const std::string& s : value.strings) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
      }
      bytes.push_back(0);
      return bytes;
    }
    default:
      return value.bytes;
  }
}

void TRegistryEx::ReadMultiString(std::string_view name, std::vector<std::string>& list) {
  RegValue value;
  if (!ReadValue(name, value) || value.type != regtype::MultiString) return;
  list.insert(list.end(), value.strings.begin(), value.strings.end());
}

void TRegistryEx::GetKeyNames(std::vector<std::string>& list) {
  list.clear();
  if (key_) list = key_->SubKeyNames();
}

void TRegistryEx::GetValues(std::vector<std::pair<std::string, RegValue>>& list) {
  list.clear();
  if (key_) list = key_->Values();
}

void TRegistryEx::GetValueNames(std::vector<std::string>& list) {
  list.clear();
  if (key_) list = key_->ValueNames();
}

bool TRegistryEx::HasSubKeys() { return key_ && !key_->SubKeyNames().empty(); }

}  // namespace orv
