#include "base/system_library.h"

#include <bcrypt.h>

#include <string>

namespace tomelet {

UniqueLibrary LoadSystemLibrary(const wchar_t* name) {
  // By name, so that a side-by-side version the program's manifest asks for is found.
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return UniqueLibrary(module);
  // Windows 7 without the update that brought the flag: the full path.
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  path.resize(length);
  path += L'\\';
  path += name;
  return UniqueLibrary(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

namespace {

HMODULE Bcrypt() {
  static const UniqueLibrary module = LoadSystemLibrary(L"bcrypt.dll");
  return module.get();
}

template <typename Function, typename... Args>
NTSTATUS PassOn(const char* name, Args... args) {
  const auto function = SystemFunction<Function>(Bcrypt(), name);
  return function ? function(args...) : static_cast<NTSTATUS>(0xC0000225L);  // STATUS_NOT_FOUND
}

}  // namespace
}  // namespace tomelet

// libzip's Windows crypto (traditional PKWARE and WinZip AES) calls these functions of
// bcrypt.dll. The program defines them itself, so it does not import bcrypt.dll, and
// passes each call on to the system folder's bcrypt.dll, loaded at the first call.
using tomelet::PassOn;
extern "C" {
NTSTATUS WINAPI BCryptOpenAlgorithmProvider(BCRYPT_ALG_HANDLE* a, LPCWSTR id, LPCWSTR implementation, ULONG flags) {
  return PassOn<decltype(&BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider", a, id, implementation, flags);
}
NTSTATUS WINAPI BCryptCloseAlgorithmProvider(BCRYPT_ALG_HANDLE a, ULONG flags) {
  return PassOn<decltype(&BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider", a, flags);
}
NTSTATUS WINAPI BCryptGetProperty(BCRYPT_HANDLE o, LPCWSTR p, PUCHAR out, ULONG size, ULONG* result, ULONG flags) {
  return PassOn<decltype(&BCryptGetProperty)>("BCryptGetProperty", o, p, out, size, result, flags);
}
NTSTATUS WINAPI BCryptSetProperty(BCRYPT_HANDLE o, LPCWSTR p, PUCHAR in, ULONG size, ULONG flags) {
  return PassOn<decltype(&BCryptSetProperty)>("BCryptSetProperty", o, p, in, size, flags);
}
NTSTATUS WINAPI BCryptCreateHash(BCRYPT_ALG_HANDLE a, BCRYPT_HASH_HANDLE* h, PUCHAR object, ULONG objectSize,
                                 PUCHAR secret, ULONG secretSize, ULONG flags) {
  return PassOn<decltype(&BCryptCreateHash)>("BCryptCreateHash", a, h, object, objectSize, secret, secretSize, flags);
}
NTSTATUS WINAPI BCryptDuplicateHash(BCRYPT_HASH_HANDLE h, BCRYPT_HASH_HANDLE* copy, PUCHAR object, ULONG size,
                                    ULONG flags) {
  return PassOn<decltype(&BCryptDuplicateHash)>("BCryptDuplicateHash", h, copy, object, size, flags);
}
NTSTATUS WINAPI BCryptHashData(BCRYPT_HASH_HANDLE h, PUCHAR in, ULONG size, ULONG flags) {
  return PassOn<decltype(&BCryptHashData)>("BCryptHashData", h, in, size, flags);
}
NTSTATUS WINAPI BCryptFinishHash(BCRYPT_HASH_HANDLE h, PUCHAR out, ULONG size, ULONG flags) {
  return PassOn<decltype(&BCryptFinishHash)>("BCryptFinishHash", h, out, size, flags);
}
NTSTATUS WINAPI BCryptDestroyHash(BCRYPT_HASH_HANDLE h) {
  return PassOn<decltype(&BCryptDestroyHash)>("BCryptDestroyHash", h);
}
NTSTATUS WINAPI BCryptDeriveKeyPBKDF2(BCRYPT_ALG_HANDLE prf, PUCHAR password, ULONG passwordSize, PUCHAR salt,
                                      ULONG saltSize, ULONGLONG iterations, PUCHAR key, ULONG keySize, ULONG flags) {
  return PassOn<decltype(&BCryptDeriveKeyPBKDF2)>("BCryptDeriveKeyPBKDF2", prf, password, passwordSize, salt, saltSize,
                                                  iterations, key, keySize, flags);
}
NTSTATUS WINAPI BCryptGenerateSymmetricKey(BCRYPT_ALG_HANDLE a, BCRYPT_KEY_HANDLE* k, PUCHAR object, ULONG objectSize,
                                           PUCHAR secret, ULONG secretSize, ULONG flags) {
  return PassOn<decltype(&BCryptGenerateSymmetricKey)>("BCryptGenerateSymmetricKey", a, k, object, objectSize, secret,
                                                       secretSize, flags);
}
NTSTATUS WINAPI BCryptEncrypt(BCRYPT_KEY_HANDLE k, PUCHAR in, ULONG inSize, VOID* padding, PUCHAR iv, ULONG ivSize,
                              PUCHAR out, ULONG outSize, ULONG* result, ULONG flags) {
  return PassOn<decltype(&BCryptEncrypt)>("BCryptEncrypt", k, in, inSize, padding, iv, ivSize, out, outSize, result,
                                          flags);
}
NTSTATUS WINAPI BCryptDestroyKey(BCRYPT_KEY_HANDLE k) {
  return PassOn<decltype(&BCryptDestroyKey)>("BCryptDestroyKey", k);
}
NTSTATUS WINAPI BCryptGenRandom(BCRYPT_ALG_HANDLE a, PUCHAR out, ULONG size, ULONG flags) {
  return PassOn<decltype(&BCryptGenRandom)>("BCryptGenRandom", a, out, size, flags);
}
}
