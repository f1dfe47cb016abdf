#include "platform/win32/win32_wmi.h"

#include "platform/win32/com_handles.h"
#include "platform/win32/wide.h"

#include <oleauto.h>
#include <wbemidl.h>

#include <cctype>
#include <chrono>
#include <cstdint>

namespace orv::win32 {

namespace {

// How long one enumeration step may wait for the service before the query gives up; a call's
// own time limit may shorten it.
constexpr long kStepTimeoutMs = 10000;

using Deadline = std::chrono::steady_clock::time_point;

long StepTimeout(Deadline deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  if (left <= 0) return 0;
  return left < kStepTimeoutMs ? static_cast<long>(left) : kStepTimeoutMs;
}

WmiScalar ScalarFromVariant(VARTYPE vt, const void* data) {
  switch (vt) {
    case VT_I1: return static_cast<int64_t>(*static_cast<const signed char*>(data));
    case VT_UI1: return static_cast<int64_t>(*static_cast<const unsigned char*>(data));
    case VT_I2: return static_cast<int64_t>(*static_cast<const short*>(data));
    case VT_UI2: return static_cast<int64_t>(*static_cast<const unsigned short*>(data));
    case VT_I4:
    case VT_INT: return static_cast<int64_t>(*static_cast<const int32_t*>(data));
    case VT_UI4:
    case VT_UINT: return static_cast<int64_t>(*static_cast<const uint32_t*>(data));
    case VT_I8: return static_cast<int64_t>(*static_cast<const int64_t*>(data));
    case VT_UI8: return static_cast<uint64_t>(*static_cast<const uint64_t*>(data));
    case VT_R4: return static_cast<double>(*static_cast<const float*>(data));
    case VT_R8: return *static_cast<const double*>(data);
    case VT_BOOL: return *static_cast<const VARIANT_BOOL*>(data) != VARIANT_FALSE;
    case VT_BSTR: {
      BSTR b = *static_cast<const BSTR*>(data);
      return b ? Narrow(std::wstring_view(b, SysStringLen(b))) : std::string();
    }
    default: return std::monostate{};
  }
}

const void* VariantData(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_I1: return &V_I1(&v);
    case VT_UI1: return &V_UI1(&v);
    case VT_I2: return &V_I2(&v);
    case VT_UI2: return &V_UI2(&v);
    case VT_I4: return &V_I4(&v);
    case VT_UI4: return &V_UI4(&v);
    case VT_INT: return &V_INT(&v);
    case VT_UINT: return &V_UINT(&v);
    case VT_I8: return &V_I8(&v);
    case VT_UI8: return &V_UI8(&v);
    case VT_R4: return &V_R4(&v);
    case VT_R8: return &V_R8(&v);
    case VT_BOOL: return &V_BOOL(&v);
    case VT_BSTR: return &V_BSTR(&v);
    default: return nullptr;
  }
}

WmiProperty ReadProperty(const std::wstring& name, const VARIANT& value, CIMTYPE type) {
  WmiProperty p;
  p.name = Narrow(name);
  p.cimType = static_cast<int>(type & ~CIM_FLAG_ARRAY);
  p.isArray = (type & CIM_FLAG_ARRAY) != 0;
  VARTYPE vt = V_VT(&value);
  if (vt == VT_NULL || vt == VT_EMPTY) return p;
  p.isNull = false;
  if (vt & VT_ARRAY) {
    SAFEARRAY* array = V_ARRAY(&value);
    VARTYPE element = vt & ~VT_ARRAY;
    LONG lower = 0, upper = -1;
    if (!array || SafeArrayGetLBound(array, 1, &lower) != S_OK || SafeArrayGetUBound(array, 1, &upper) != S_OK)
      return p;
    void* raw = nullptr;
    if (SafeArrayAccessData(array, &raw) != S_OK) return p;
    const char* bytes = static_cast<const char*>(raw);
    UINT size = SafeArrayGetElemsize(array);
    for (LONG i = 0; i <= upper - lower; ++i) p.values.push_back(ScalarFromVariant(element, bytes + i * size));
    SafeArrayUnaccessData(array);
    return p;
  }
  const void* data = VariantData(value);
  p.values.push_back(data ? ScalarFromVariant(vt, data) : WmiScalar{});
  return p;
}

std::optional<std::vector<WmiInstance>> Collect(IEnumWbemClassObject* enumerator, Deadline deadline) {
  std::vector<WmiInstance> instances;
  while (true) {
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    const long timeout = StepTimeout(deadline);
    if (timeout == 0) return std::nullopt;  // the call's time is up
    HRESULT hr = enumerator->Next(timeout, 1, object.Out(), &returned);
    if (hr == WBEM_S_TIMEDOUT) return std::nullopt;
    if (FAILED(hr)) return std::nullopt;
    if (returned == 0) break;
    WmiInstance instance;
    if (SUCCEEDED(object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) {
      while (true) {
        Bstr name;
        Variant value;
        CIMTYPE type = 0;
        if (object->Next(0, name.Out(), value.Out(), &type, nullptr) != WBEM_S_NO_ERROR) break;
        std::wstring n = name.Get() ? std::wstring(name.Get(), SysStringLen(name.Get())) : std::wstring();
        instance.properties.push_back(ReadProperty(n, value.Get(), type));
      }
      object->EndEnumeration();
    }
    instances.push_back(std::move(instance));
  }
  return instances;
}

}  // namespace

struct Win32Wmi::Connection {
  ComPtr<IWbemLocator> locator;
  ComPtr<IWbemServices> services;
};

Win32Wmi::Win32Wmi() = default;
Win32Wmi::~Win32Wmi() = default;

void Win32Wmi::Reconnect() {
  connections_.clear();
  failed_.clear();
}

Win32Wmi::Connection* Win32Wmi::Connect(const std::string& wmiNamespace) {
  // Namespace names ignore case.
  std::string key = wmiNamespace;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (auto it = connections_.find(key); it != connections_.end()) return it->second.get();
  // A namespace that could not be reached (Security Center on a server) is not asked again
  // before the next Reconnect.
  if (failed_.count(key)) return nullptr;
  failed_.insert(key);
  auto c = std::make_unique<Connection>();
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(c->locator.Out()))))
    return nullptr;
  Bstr ns(Widen(wmiNamespace));
  // Without WBEM_FLAG_CONNECT_USE_MAX_WAIT a connection to a service that hangs waits for ever;
  // with it Windows gives up after two minutes at most.
  if (FAILED(c->locator->ConnectServer(ns.Get(), nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT,
                                       nullptr, nullptr, c->services.Out())))
    return nullptr;
  CoSetProxyBlanket(c->services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  failed_.erase(key);
  return (connections_[key] = std::move(c)).get();
}

std::optional<std::vector<WmiInstance>> Win32Wmi::ExecQuery(const std::string& wql) {
  WmiRequest request;
  request.text = wql;
  return Query(request);
}

std::optional<std::vector<WmiInstance>> Win32Wmi::InstancesOf(const std::string& className) {
  WmiRequest request;
  request.text = className;
  request.listClass = true;
  return Query(request);
}

std::optional<std::vector<WmiInstance>> Win32Wmi::Query(const WmiRequest& request) {
  const Deadline deadline = std::chrono::steady_clock::now() + request.timeLimit;
  if (request.timeLimit <= std::chrono::milliseconds::zero()) return std::nullopt;
  Connection* c = Connect(request.wmiNamespace);
  if (!c || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
  ComPtr<IEnumWbemClassObject> enumerator;
  // Both calls return at once (WBEM_FLAG_RETURN_IMMEDIATELY); the waiting happens in Next, which
  // the deadline bounds.
  if (request.listClass) {
    Bstr name(Widen(request.text));
    if (FAILED(c->services->CreateInstanceEnum(
            name.Get(), static_cast<long>(WBEM_FLAG_RETURN_IMMEDIATELY) | static_cast<long>(WBEM_FLAG_SHALLOW), nullptr,
            enumerator.Out())))
      return std::nullopt;
  } else {
    Bstr language(L"WQL"), query(Widen(request.text));
    if (FAILED(c->services->ExecQuery(language.Get(), query.Get(), WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                      enumerator.Out())))
      return std::nullopt;
  }
  return Collect(enumerator.Get(), deadline);
}

}  // namespace orv::win32
