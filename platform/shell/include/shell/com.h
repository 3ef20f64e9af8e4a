// The object model the shell layer speaks: result codes, interface ids,
// reference-counted interfaces with QueryInterface, a smart reference, the
// task allocator and the per-thread start-up calls. Interface ids are names
// of our own (compared as text), not the platform's numbers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace qelo::shell {

using HRESULT = int32_t;
using ULONG = uint32_t;

constexpr HRESULT MakeResult(uint32_t code) { return static_cast<HRESULT>(code); }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001);
constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002);
constexpr HRESULT E_POINTER = MakeResult(0x80004003);
constexpr HRESULT E_ABORT = MakeResult(0x80004004);
constexpr HRESULT E_FAIL = MakeResult(0x80004005);
constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = MakeResult(0x80070005);
constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000E);
constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeResult(0x80040111);

// A platform error number carried as a result code.
constexpr HRESULT HRESULT_FROM_WIN32(uint32_t error) {
  return error == 0 ? S_OK : MakeResult((error & 0xFFFF) | 0x80070000);
}
// The error number inside a result code made by HRESULT_FROM_WIN32, else 0.
constexpr uint32_t Win32FromHResult(HRESULT hr) {
  return (static_cast<uint32_t>(hr) & 0xFFFF0000) == 0x80070000 ? static_cast<uint32_t>(hr) & 0xFFFF : 0;
}

// Interface and class ids.
struct IID {
  std::string_view name;
};
using REFIID = const IID&;
using CLSID = IID;
using REFCLSID = const IID&;
inline bool operator==(const IID& a, const IID& b) { return a.name == b.name; }

inline constexpr IID IID_IUnknown{"IUnknown"};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects end through Release
};

// A counted reference to an interface: releases what it holds.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes over a reference the caller already holds.
  static ComPtr Adopt(T* object) {
    ComPtr p;
    p.object_ = object;
    return p;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  ComPtr(const ComPtr& other) : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (T* old = std::exchange(object_, nullptr)) old->Release();
  }
  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For out-parameters: releases what it held and hands out the slot.
  T** Put() {
    Reset();
    return &object_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(object_, nullptr); }

  template <class U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const {
    if (!object_) return E_POINTER;
    return object_->QueryInterface(iid, out->PutVoid());
  }

 private:
  T* object_ = nullptr;
};

// A plain reference count for objects that are used on one thread or many.
class RefCount {
 public:
  ULONG Increment() { return ++count_; }
  ULONG Decrement() { return --count_; }
  ULONG Value() const { return count_; }

 private:
  std::atomic<ULONG> count_{1};
};

// The IUnknown part of an object that implements one interface: it answers
// IUnknown and each of `Ids` with `Interface`, counts its references
// (starting at one, for its maker) and deletes itself with the last Release.
template <class Interface, const IID&... Ids>
class ComObject : public Interface {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || ((iid == Ids) || ...)) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.Increment(); }
  ULONG Release() override {
    ULONG left = refs_.Decrement();
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

 private:
  RefCount refs_;
};

// The task allocator (also the shell allocator): blocks that remember their
// size. Free and Realloc accept null.
void* CoTaskMemAlloc(std::size_t size);
void* CoTaskMemRealloc(void* block, std::size_t size);
void CoTaskMemFree(void* block);
// The size asked for when the block was made; 0 for null.
std::size_t CoTaskMemSize(const void* block);

// Per-thread start-up of the object model. The first call on a thread gives
// S_OK, later ones S_FALSE; each successful call is matched by one
// Uninitialize. OleInitialize also starts drag and drop and the clipboard.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
HRESULT OleInitialize(void* reserved);
void OleUninitialize();
// Whether the calling thread has initialised the object model (and OLE).
bool IsComInitialized();
bool IsOleInitialized();

}  // namespace qelo::shell
