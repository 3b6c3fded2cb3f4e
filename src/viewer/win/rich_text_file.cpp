#include "viewer/win/rich_text_file.h"

#include <richedit.h>

#include <cstdio>
#include <cstring>

#include "common/win/handles.h"
#include "viewer/rtf_check.h"

namespace vt9::win {
namespace {

struct InStream {
  HANDLE file;
  RtfCheck* rtf;  // for rich text: sees every byte the control reads; null for plain text
  bool readFailed = false;
};

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* in = reinterpret_cast<InStream*>(cookie);
  DWORD read = 0;
  if (!ReadFile(in->file, buffer, static_cast<DWORD>(size), &read, nullptr)) {
    in->readFailed = true;
    *done = 0;
    return 1;  // non-zero ends the stream with an error
  }
  if (in->rtf) {
    in->rtf->Feed(reinterpret_cast<const char*>(buffer), read);
  } else {
    // The control ends plain text at a NUL byte and would show nothing of what follows: a
    // blank stands in for it.
    for (DWORD i = 0; i < read; ++i)
      if (buffer[i] == 0) buffer[i] = ' ';
  }
  *done = static_cast<LONG>(read);
  return 0;
}

struct OutStream {
  const ContentWriter* write;
  bool writeFailed = false;
};

DWORD CALLBACK WriteToWriter(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto* out = reinterpret_cast<OutStream*>(cookie);
  if (size < 0 ||
      !(*out->write)(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size))) {
    out->writeFailed = true;
    *done = 0;
    return 1;
  }
  *done = size;
  return 0;
}

bool StartsWithRtf(HANDLE file) {
  char head[5] = {};
  DWORD read = 0;
  const bool ok = ReadFile(file, head, sizeof head, &read, nullptr) && read == sizeof head &&
                  std::memcmp(head, "{\\rtf", sizeof head) == 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return ok;
}

// A short name beside the target, so that a target close to the path length limit can still
// be saved: "~vt9" and four hex digits, ".tmp".
std::string TemporaryNameFor(const std::string& path, unsigned attempt) {
  const std::size_t slash = path.find_last_of("\\:");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  char name[16];
  std::snprintf(name, sizeof name, "~vt9%04lx.tmp",
                (GetCurrentProcessId() * 31ul + GetTickCount() + attempt * 7919ul) & 0xFFFFul);
  return folder + name;
}

// Puts the written temporary file in the target's place. An existing target is replaced with
// ReplaceFileA, so it keeps its attributes, security and streams; the old content goes to a
// backup name first, which makes every failure undoable: the target is put back from it.
bool PutInPlace(const std::string& temporary, const std::string& target) {
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
  const std::string backup = TemporaryNameFor(target, 0x5A5A);
  if (ReplaceFileA(target.c_str(), temporary.c_str(), backup.c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    DeleteFileA(backup.c_str());
    // Windows merges the attributes itself; not every implementation of the call does.
    if (GetFileAttributesA(target.c_str()) != attributes)
      SetFileAttributesA(target.c_str(), attributes);
    return true;
  }
  // The target was moved aside but the new file could not take its name: move it back.
  if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
      GetFileAttributesA(backup.c_str()) != INVALID_FILE_ATTRIBUTES)
    MoveFileExA(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  return false;
}

}  // namespace

bool LoadRichEditFile(HWND edit, const std::string& path, bool* incomplete) {
  if (incomplete) *incomplete = false;
  // Another program may still be writing the log: share both ways, as a viewer should.
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  const WPARAM format = StartsWithRtf(file.get()) ? SF_RTF : SF_TEXT;
  RtfCheck rtf;
  InStream in{file.get(), format == SF_RTF ? &rtf : nullptr};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
  stream.pfnCallback = &ReadFromFile;
  SendMessageA(edit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  if (in.readFailed) return false;
  if (format != SF_RTF || rtf.Whole()) return stream.dwError == 0;
  // The control shows what it could make of damaged rich text without saying so.
  if (!rtf.CutOff()) return false;
  // Cut short: whatever the control made of it is shown, and never less than the file holds.
  if (GetWindowTextLengthA(edit) == 0) {
    SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    InStream plain{file.get(), nullptr};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&plain);
    stream.dwError = 0;
    SendMessageA(edit, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    if (plain.readFailed || stream.dwError != 0) return false;
  }
  if (incomplete) *incomplete = true;
  return true;
}

bool StreamOutRichText(HWND edit, const ContentWriter& write) {
  OutStream out{&write};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
  stream.pfnCallback = &WriteToWriter;
  SendMessageA(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return !out.writeFailed && stream.dwError == 0;
}

bool SaveFileSafely(const std::string& path, const ContentProducer& produce) {
  std::string temporary;
  HANDLE raw = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 16 && raw == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = TemporaryNameFor(path, attempt);
    raw = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (raw == INVALID_HANDLE_VALUE) return false;
  KernelHandle file(raw);
  const ContentWriter write = [&file](const char* bytes, std::size_t count) {
    while (count > 0) {
      DWORD written = 0;
      const DWORD chunk = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
      if (!WriteFile(file.get(), bytes, chunk, &written, nullptr) || written == 0) return false;
      bytes += written;
      count -= written;
    }
    return true;
  };
  bool ok = produce(write) && FlushFileBuffers(file.get());
  ok = CloseHandle(file.release()) && ok;
  ok = ok && PutInPlace(temporary, path);
  if (!ok) DeleteFileA(temporary.c_str());
  return ok;
}

}  // namespace vt9::win
